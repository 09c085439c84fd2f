// tolm template list|new|delete|rename|import|export: the template library of
// the Exam-tables window from the command line.
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "host/Application.h"
#include "platform/ForwardingToolkit.h"
#include "tables/TemplateLibrary.h"
#include "tables/TemplateOptions.h"
#include "ui/Component.h"
#include "ui/FrmHuaMinChe.h"
#include "workbook/SystemNames.h"

namespace cli {

namespace {

// The name a command line gives answers the window's input box.
class NameAnswer : public platform::ForwardingToolkit {
public:
    NameAnswer(platform::Toolkit& inner, std::string name) : ForwardingToolkit(inner), name_(std::move(name)) {}
    std::string InputBox(const std::string&, const std::string&, const std::string&) override { return name_; }

private:
    std::string name_;
};

std::string Shown(const std::string& field) {
    if (field.empty()) return "（未设置）";
    if (field == workbook::kNoneEntry) return "（无）";
    return field.starts_with(workbook::kTab) ? field.substr(workbook::kTab.size()) : field;
}

void PrintTemplate(const host::Workbook& system, const std::string& name, std::ostream& out) {
    out << name;
    const auto o = tables::ReadTemplateOptions(system, name);
    if (!o) {
        out << "  （未保存选项）\n";
        return;
    }
    out << "  分区字段：" << Shown(o->partition) << "  排序字段：" << Shown(o->sort)
        << "  组顺序：" << (o->groupsLeftToRight ? "自左向右" : "自右向左")
        << "  桌顺序：" << (o->desksBottomUp ? "自下向上" : "自上而下")
        << "  主体区第一行是列标题：" << (o->titleRow ? "是" : "否") << "  照片缩放比例：" << o->photoScale << "%\n";
}

std::string OptionValue(const CommandContext& ctx, const std::string& name) {
    std::string value;
    for (const auto& [n, v] : ctx.options.commandOptions)
        if (n == name) value = v;
    return value;
}

class TemplateCommand : public Command {
public:
    std::string Name() const override { return "template"; }
    std::string Arguments() const override { return "list|new|delete|rename|import|export [参数…]"; }
    std::string Summary() const override { return "管理考试用表模板（考试用表窗口的模板按钮）"; }
    std::string Details() const override {
        return "  template list                      模板名称，每行一个，附保存的生成选项\n"
               "  template new NAME                  新增模板（“新增模板 (&R)”）\n"
               "  template delete NAME               删除模板（“删除模板 (&W)”，先提问；--answer yes）\n"
               "  template rename OLD NEW            模板改名（“模板改名 (&E)”）\n"
               "  template import FILE --sheet NAME [--as NAME]\n"
               "                                     把任一工作簿的工作表连同格式、合并单元格、行高列宽、\n"
               "                                     页面设置和图片复制到系统工作簿，作为模板\n"
               "  template export NAME FILE          把模板单独存为一个工作簿，在别处编辑\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 3; }
    std::vector<std::string> ValueOptions() const override { return {"--sheet", "--as"}; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        const std::string& sub = args[0];
        auto need = [&](size_t n) {
            if (args.size() != n + 1) throw UsageError("template " + sub + " 需要 " + std::to_string(n) + " 个参数");
        };
        if (sub == "list") need(0);
        else if (sub == "new" || sub == "delete" || sub == "import") need(1);
        else if (sub == "rename" || sub == "export") need(2);
        else throw UsageError("template 只接受 list|new|delete|rename|import|export，而不是“" + sub + "”");
        if (sub == "import" && OptionValue(ctx, "--sheet").empty()) throw UsageError("template import 需要 --sheet NAME");

        ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, ctx.Absolute(ctx.options.systemFile)));
        host::Workbook& system = *ctx.systemWorkbook;
        if (sub == "list") {
            for (const std::string& name : tables::TemplateNames(system)) PrintTemplate(system, name, ctx.out);
            return kExitDone;
        }

        host::Application::SetRunning(&ctx.app);
        NameAnswer toolkit(ctx.toolkit, sub == "new" ? args[1] : sub == "rename" ? args[2] : std::string());
        ui::Component component(toolkit);
        entry::TolmDll(component).WKopen();
        if (sub == "import") {
            std::string created;
            const auto o = tables::ImportTemplate(component.Context(), ctx.Absolute(args[1]), OptionValue(ctx, "--sheet"),
                                                  OptionValue(ctx, "--as"), &created);
            if (!created.empty()) ctx.out << "已导入模板：" << created << '\n';
            return ReportOutcome(ctx, o);
        }
        if (sub == "export") {
            const auto o = tables::ExportTemplate(component.Context(), args[1], ctx.Absolute(args[2]));
            for (const std::string& f : o.saved) ctx.out << "已保存：" << f << '\n';
            return ReportOutcome(ctx, o);
        }

        auto& w = dynamic_cast<ui::FrmHuaMinChe&>(ui::ShowMainWindow(component, workbook::WindowCode::ExamTables));
        if (sub == "new") {
            w.Command1.Click();
            return ReportOutcome(ctx, w.LastOutcome());
        }
        if (!w.SelectTemplate(args[1])) throw UsageError("没有模板“" + args[1] + "”；tolm template list 列出所有模板");
        if (sub == "delete") w.Command2.Click();
        else w.Command3.Click();
        return ReportOutcome(ctx, w.LastOutcome());
    }
};

}  // namespace

std::unique_ptr<Command> MakeTemplateCommand() { return std::make_unique<TemplateCommand>(); }

}  // namespace cli
