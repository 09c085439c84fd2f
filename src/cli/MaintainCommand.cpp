// tolm maintain: "维护数据 (&E)" of the Settings window.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "cli/SettingsWindowSession.h"

namespace cli {

namespace {

class MaintainCommand : public Command {
public:
    std::string Name() const override { return "maintain"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "清理或标记花名册数据（设置窗口的“维护数据”按钮）"; }
    std::string Details() const override {
        return "打开设置窗口，单击“维护数据 (&E)”，回答它的提问（--answer yes|no|cancel）：\n"
               "  yes     删除空行、空列和多余的重复行，取消单元格合并\n"
               "  no      不删除数据，只作标记：行、列标记为 -1，合并单元格填成红色\n"
               "  cancel  不做任何改动，退出码 1\n"
               "发现的问题写入系统工作簿的工作表“修改意见”，然后输出它。改动过的花名册由保存步骤写回\n"
               "（--no-save 不写）。找不到花名册工作簿（参数单元格 K1、L1）时显示提示，退出码 1。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        SettingsWindowSession session(ctx);
        ui::FrmSeZhi& w = session.Window();
        w.Command1[ui::FrmSeZhi::kMaintain].Click();
        const workbook::Outcome& outcome = w.LastOutcome();
        if (outcome.revisionReport) PrintRevisionSheet(*ctx.systemWorkbook, ctx.out);
        return ExitCodeOf(outcome);
    }
};

}  // namespace

std::unique_ptr<Command> MakeMaintainCommand() { return std::make_unique<MaintainCommand>(); }

}  // namespace cli
