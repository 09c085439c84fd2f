// tolm statistics and tolm maintain: "数据统计 (&T)" and "维护数据 (&E)" of
// the Settings window. Both write their findings to the revision sheet,
// which is printed after the action.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "cli/SettingsWindowSession.h"

namespace cli {

namespace {

class SettingsButtonCommand : public Command {
public:
    SettingsButtonCommand(std::string name, ui::FrmSeZhi::Button button, std::string summary, std::string details)
        : name_(std::move(name)), button_(button), summary_(std::move(summary)), details_(std::move(details)) {}

    std::string Name() const override { return name_; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return summary_; }
    std::string Details() const override { return details_; }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        SettingsWindowSession session(ctx);
        ui::FrmSeZhi& w = session.Window();
        w.Command1[button_].Click();
        return ReportOutcome(ctx, w.LastOutcome());
    }

private:
    std::string name_;
    ui::FrmSeZhi::Button button_;
    std::string summary_, details_;
};

}  // namespace

std::unique_ptr<Command> MakeStatisticsCommand() {
    return std::make_unique<SettingsButtonCommand>(
        "statistics", ui::FrmSeZhi::kStatistics, "核对花名册与设置表并写出修改意见（设置窗口的“数据统计”按钮）",
        "打开设置窗口，单击“数据统计 (&T)”：按班级和按考场号核对花名册的每个工作表与它的设置表，\n"
                   "把结论和修改意见写入系统工作簿的工作表“修改意见”，把班级统计写入各设置表，然后输出“修改意见”。\n"
                   "修改意见的“结论”“修改意见”两列为空表示没有发现错误。\n"
                   "找不到花名册工作簿（参数单元格 K1、L1）时显示提示，退出码 1。\n");
}

std::unique_ptr<Command> MakeMaintainCommand() {
    return std::make_unique<SettingsButtonCommand>(
        "maintain", ui::FrmSeZhi::kMaintain, "清理或标记花名册数据（设置窗口的“维护数据”按钮）",
        "打开设置窗口，单击“维护数据 (&E)”，回答它的提问（--answer yes|no|cancel）：\n"
                   "  yes     删除空行、空列和多余的重复行，取消单元格合并\n"
                   "  no      不删除数据，只作标记：行、列标记为 -1，合并单元格填成红色\n"
                   "  cancel  不做任何改动，退出码 1\n"
                   "发现的问题写入系统工作簿的工作表“修改意见”，然后输出它。改动过的花名册由保存步骤写回\n"
                   "（--no-save 不写）。找不到花名册工作簿（参数单元格 K1、L1）时显示提示，退出码 1。\n");
}

}  // namespace cli
