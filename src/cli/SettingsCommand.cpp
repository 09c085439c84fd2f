// tolm settings [--desk-groups TEXT] [--rooms TEXT] [--grades-per-group TEXT]
// [--fields TEXT]: "保存 (&C)" of the Settings window with the given inputs.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsWindowSession.h"

namespace cli {

namespace {

class SettingsCommand : public Command {
public:
    std::string Name() const override { return "settings"; }
    std::string Arguments() const override { return ""; }
    std::string Summary() const override { return "保存考试参数并生成设置表（设置窗口的“保存”按钮）"; }
    std::string Details() const override {
        return "打开设置窗口（输入框显示参数单元格 K2–K5 的值），把给出的文字原样填入输入框，\n"
               "然后单击“保存 (&C)”：\n"
               "  --desk-groups TEXT       请输入考场组数（K2）\n"
               "  --grades-per-group TEXT  请选择同桌年级数（K3）\n"
               "  --rooms TEXT             请输入考场总数（K4）\n"
               "  --fields TEXT            输入设置表字段数（K5）\n"
               "设置表与参数不相符时的提问用 --answer yes|no 回答。输入不合要求、花名册没有数据工作表、\n"
               "或设置表未能全部生成和保存时，退出码 1。\n";
    }
    size_t MinArguments() const override { return 0; }
    size_t MaxArguments() const override { return 0; }
    std::vector<std::string> ValueOptions() const override {
        return {"--desk-groups", "--rooms", "--grades-per-group", "--fields"};
    }

    int Run(CommandContext& ctx, const std::vector<std::string>&) override {
        SettingsWindowSession session(ctx);
        ui::FrmSeZhi& w = session.Window();
        for (const auto& [name, text] : ctx.options.commandOptions) {
            if (name == "--desk-groups") w.Text1.Type(text);
            else if (name == "--rooms") w.Text2.Type(text);
            else if (name == "--grades-per-group") w.Combo3.Type(text);
            else if (name == "--fields") w.Text3.Type(text);
        }
        w.Command1[ui::FrmSeZhi::kSave].Click();
        session.PrintWindow(ctx.out);
        return ExitCodeOf(w.LastOutcome());
    }
};

}  // namespace

std::unique_ptr<Command> MakeSettingsCommand() { return std::make_unique<SettingsCommand>(); }

}  // namespace cli
