// tolm tables --template NAME [options]: "生成表格 (&T)" of the Exam-tables
// window with the template's stored options, changed as given.
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "host/Application.h"
#include "tables/TemplateLibrary.h"
#include "ui/Component.h"
#include "ui/FrmHuaMinChe.h"
#include "workbook/SystemNames.h"

namespace cli {

namespace {

// A FIELD is the item equal to it, else the system column TAB + FIELD;
// "none" is the none entry.
void ChooseField(const std::string& option, const std::string& word, ui::ComboBox& list) {
    const std::string none(workbook::kNoneEntry);
    const std::vector<std::string> wanted =
        word == "none" ? std::vector<std::string>{none} : std::vector<std::string>{word, std::string(workbook::kTab) + word};
    for (const std::string& w : wanted)
        for (int i = 0; i < list.ListCount(); ++i)
            if (list.List(i) == w) {
                list.Choose(i);
                return;
            }
    std::string fields;
    for (const std::string& item : list.Items())
        if (item != none) {
            const std::string shown = item.starts_with(workbook::kTab) ? item.substr(1) : item;
            fields += (fields.empty() ? "" : "、") + shown;
        }
    throw UsageError(option + "：花名册各工作表没有共同的列“" + word + "”。可选：" +
                     (fields.empty() ? std::string("none") : fields + " 或 none"));
}

void Choose(const std::string& option, const std::string& word, ui::OptionButton& a, const char* aWord,
            ui::OptionButton& b, const char* bWord) {
    if (word == aWord) a.Choose();
    else if (word == bWord) b.Choose();
    else throw UsageError(option + " 只接受 " + aWord + "|" + bWord + "，而不是“" + word + "”");
}

void Apply(ui::FrmHuaMinChe& w, const std::string& name, const std::string& value) {
    if (name == "--partition") {
        ChooseField(name, value, w.Combo1);
    } else if (name == "--sort") {
        ChooseField(name, value, w.Combo2);
    } else if (name == "--group-order") {
        Choose(name, value, w.Option1, "ltr", w.Option2, "rtl");
    } else if (name == "--desk-order") {
        Choose(name, value, w.Option3, "bottom-up", w.Option4, "top-down");
    } else if (name == "--title-row") {
        if (value != "yes" && value != "no") throw UsageError("--title-row 只接受 yes|no，而不是“" + value + "”");
        w.Check1.Choose(value == "yes" ? ui::vbChecked : ui::vbUnchecked);
    } else if (name == "--photo-scale") {
        w.Text1.Type(value);
    }
}

std::string Shown(const std::string& field) {
    if (field == workbook::kNoneEntry) return "（无）";
    return field.starts_with(workbook::kTab) ? field.substr(1) : field;
}

class TablesCommand : public Command {
public:
    std::string Name() const override { return "tables"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "按模板生成考试用表（考试用表窗口的“生成表格”按钮）"; }
    std::string Details() const override {
        return "打开考试用表窗口，选中 --template 指定的模板（显示它保存的选项），按给出的选项设置窗口，\n"
               "然后单击“生成表格 (&T)”：\n"
               "  --template NAME               模板名称（tolm template list 列出所有模板）\n"
               "  --partition FIELD|none        分区字段：花名册的列标题，或编排写入的列（场号、座号…）\n"
               "  --sort FIELD|none             排序字段\n"
               "  --group-order ltr|rtl         组顺序：自左向右或自右向左\n"
               "  --desk-order bottom-up|top-down\n"
               "                                桌顺序：自下向上或自上而下\n"
               "  --title-row yes|no            主体区第一行是列标题\n"
               "  --photo-scale N               照片相对照片区缩放比例(%)\n"
               "分区字段为场号、排序字段为座号时生成考场座位表，否则按分区和排序生成表格。考试用表保存在\n"
               "花名册旁的“<花名册文件名>考试用表”文件夹中，不覆盖以前生成的文件。模板或花名册有错误时\n"
               "退出码 1。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }
    std::vector<std::string> ValueOptions() const override {
        return {"--template", "--partition", "--sort", "--group-order", "--desk-order", "--title-row", "--photo-scale"};
    }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        std::string templateName;
        for (const auto& [name, value] : ctx.options.commandOptions)
            if (name == "--template") templateName = value;
        if (templateName.empty()) throw UsageError("tables 需要 --template NAME");
        ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, ctx.Absolute(ctx.options.systemFile)));
        host::Application::SetRunning(&ctx.app);
        ui::Component component(ctx.toolkit);
        entry::TolmDll(component).WKopen();
        auto& w = dynamic_cast<ui::FrmHuaMinChe&>(ui::ShowMainWindow(component, workbook::WindowCode::ExamTables));
        if (!w.SelectTemplate(templateName)) {
            std::string names;
            for (const std::string& n : w.List1.Items()) names += (names.empty() ? "" : "、") + n;
            throw UsageError("没有模板“" + templateName + "”。可选：" + (names.empty() ? "（无）" : names));
        }
        for (const auto& [name, value] : ctx.options.commandOptions)
            if (name != "--template") Apply(w, name, value);
        ctx.out << "模板：" << templateName << "  分区字段：" << Shown(w.Combo1.Text())
                << "  排序字段：" << Shown(w.Combo2.Text())
                << "  组顺序：" << (w.Option1.Value() ? w.Option1.Caption() : w.Option2.Caption())
                << "  桌顺序：" << (w.Option3.Value() ? w.Option3.Caption() : w.Option4.Caption())
                << "  主体区第一行是列标题：" << (w.Check1.Value() == ui::vbChecked ? "是" : "否")
                << "  照片缩放比例：" << w.Text1.Text() << "%\n";
        w.Command4.Click();
        for (const std::string& f : w.LastOutcome().saved) ctx.out << "已保存：" << f << '\n';
        return ReportOutcome(ctx, w.LastOutcome());
    }
};

}  // namespace

std::unique_ptr<Command> MakeTablesCommand() { return std::make_unique<TablesCommand>(); }

}  // namespace cli
