// tolm arrange [--order …] [--key …] [--number …] [--first …] [--column …]
// [--desks …]: "开始编排 (&K)" of the Arrangement window with the given choices.
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "ui/Component.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "host/Application.h"
#include "ui/FrmKCBP.h"
#include "workbook/SystemNames.h"

namespace cli {

namespace {

// The option button that a word of the command line names.
ui::OptionButton& Choose(const std::string& option, const std::string& word,
                         const std::vector<std::pair<const char*, ui::OptionButton*>>& choices) {
    std::string known;
    for (const auto& [name, button] : choices) {
        if (word == name) return *button;
        known += known.empty() ? name : std::string("|") + name;
    }
    throw UsageError(option + " 只接受 " + known + "，而不是“" + word + "”");
}

// "none" is the none entry; any other word must be one of the list's fields.
void ChooseField(const std::string& option, const std::string& word, ui::ComboBox& list) {
    const std::string wanted = word == "none" ? std::string(workbook::kNoneEntry) : word;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == wanted) {
            list.Choose(i);
            return;
        }
    }
    std::string fields;
    for (const std::string& item : list.Items())
        if (!item.starts_with(workbook::kTab)) fields += (fields.empty() ? "" : "、") + item;
    throw UsageError(option + "：花名册各工作表没有共同的列“" + word + "”。可选：" +
                     (fields.empty() ? std::string("none") : fields + " 或 none"));
}

void Apply(ui::FrmKCBP& w, const std::string& name, const std::string& value) {
    if (name == "--order") {
        Choose(name, value, {{"asc", &w.Option1}, {"desc", &w.Option2}, {"random", &w.Option3}}).Choose();
    } else if (name == "--key") {
        ChooseField(name, value, w.Combo1);
    } else if (name == "--number") {
        Choose(name, value, {{"1", &w.Option4}, {"2", &w.Option5}}).Choose();
    } else if (name == "--first") {
        w.Text1.Type(value);
    } else if (name == "--column") {
        ChooseField(name, value, w.Combo2);
    } else if (name == "--desks") {
        Choose(name, value, {{"sequential", &w.Option6}, {"s", &w.Option7}}).Choose();
    }
}

std::string Chosen(const ui::ComboBox& list) {
    return list.Text() == workbook::kNoneEntry ? std::string("（无）") : list.Text();
}

void PrintChoices(const ui::FrmKCBP& w, std::ostream& out) {
    const auto& o = w.Option1.Value() ? w.Option1 : w.Option2.Value() ? w.Option2 : w.Option3;
    out << "编排方式：" << o.Caption() << "  排序关键字：" << Chosen(w.Combo1)
        << "  考号：" << (w.Option4.Value() ? "方式1（首考号 " + w.Text1.Text() + "）" : "方式2（列 " + Chosen(w.Combo2) + "）")
        << "  桌顺序：" << (w.Option6.Value() ? w.Option6.Caption() : w.Option7.Caption()) << '\n';
}

class ArrangeCommand : public Command {
public:
    std::string Name() const override { return "arrange"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "编排考场、座号和考号（编排窗口的“开始编排”按钮）"; }
    std::string Details() const override {
        return "打开编排窗口（显示参数单元格 K7–K12 中上次的选择），按给出的选项设置窗口，然后单击\n"
               "“开始编排 (&K)”：\n"
               "  --order asc|desc|random     升序、降序或随机（各班分散到所有考场）\n"
               "  --key FIELD|none            排序关键字：各工作表共有的列标题，none 表示不排序\n"
               "  --number 1|2                考号方式1（按顺序）或方式2（选定列+场号+座号）\n"
               "  --first TEXT                方式1的首考号，原样填入输入框\n"
               "  --column FIELD|none         方式2放在考号前面的列\n"
               "  --desks sequential|s        桌顺序：顺序排列或 S 形排列\n"
               "花名册的系统列（场号、座号、考号等）写在用户的列右边，花名册原地保存。随机编排后仍有\n"
               "前后左右同班时，“修改意见”复制到一个新工作簿，保存到 --out 指定的文件夹。\n"
               "--seed N 使两次编排得到相同的结果。找不到花名册、花名册数据有错误或有工作表未能编排时\n"
               "退出码 1；数据有错误时输出“修改意见”。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }
    std::vector<std::string> ValueOptions() const override {
        return {"--order", "--key", "--number", "--first", "--column", "--desks"};
    }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, ctx.Absolute(ctx.options.systemFile)));
        host::Application::SetRunning(&ctx.app);
        ui::Component component(ctx.toolkit);
        entry::TolmDll(component).WKopen();
        auto& w = dynamic_cast<ui::FrmKCBP&>(ui::ShowMainWindow(component, workbook::WindowCode::Arrangement));
        for (const auto& [name, value] : ctx.options.commandOptions) Apply(w, name, value);
        PrintChoices(w, ctx.out);
        w.Command1.Click();
        return ReportOutcome(ctx, w.LastOutcome());
    }
};

}  // namespace

std::unique_ptr<Command> MakeArrangeCommand() { return std::make_unique<ArrangeCommand>(); }

}  // namespace cli
