// tolm start: the start of the tool as the system workbook's macro does it,
// headless. The window that opens is named by its caption.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "ui/Component.h"
#include "entry/Session.h"
#include "ui/Window.h"

namespace cli {

namespace {

class StartCommand : public Command {
public:
    std::string Name() const override { return "start"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "启动考场编排系统，打开上次使用的窗口"; }
    std::string Details() const override {
        return "打开系统工作簿（没有时按内置的默认内容新建），执行 WKopen 和 Start，\n"
               "输出打开的窗口的标题。系统工作簿只在其单元格改动后保存。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        const std::string systemPath = ctx.Absolute(ctx.options.systemFile);
        // Opened here first so that the save step compares against the cells as they were read.
        ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, systemPath));
        auto component = entry::StartSession(ctx.app, ctx.toolkit, systemPath);
        if (ui::Window* w = ctx.toolkit.ShownWindow()) ctx.out << "窗口：" << w->Caption() << '\n';
        return kExitDone;
    }
};

}  // namespace

std::unique_ptr<Command> MakeStartCommand() { return std::make_unique<StartCommand>(); }

}  // namespace cli
