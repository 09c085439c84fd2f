// tolm statistics: "数据统计 (&T)" of the Settings window.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "cli/SettingsWindowSession.h"

namespace cli {

namespace {

class StatisticsCommand : public Command {
public:
    std::string Name() const override { return "statistics"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "核对花名册与设置表并写出修改意见（设置窗口的“数据统计”按钮）"; }
    std::string Details() const override {
        return "打开设置窗口，单击“数据统计 (&T)”：按班级和按考场号核对花名册的每个工作表与它的设置表，\n"
               "把结论和修改意见写入系统工作簿的工作表“修改意见”，把班级统计写入各设置表，然后输出“修改意见”。\n"
               "修改意见的“结论”“修改意见”两列为空表示没有发现错误。\n"
               "找不到花名册工作簿（参数单元格 K1、L1）时显示提示，退出码 1。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        SettingsWindowSession session(ctx);
        ui::FrmSeZhi& w = session.Window();
        w.Command1[ui::FrmSeZhi::kStatistics].Click();
        const workbook::Outcome& outcome = w.LastOutcome();
        if (outcome.revisionReport) PrintRevisionSheet(*ctx.systemWorkbook, ctx.out);
        return ExitCodeOf(outcome);
    }
};

}  // namespace

std::unique_ptr<Command> MakeStatisticsCommand() { return std::make_unique<StatisticsCommand>(); }

}  // namespace cli
