// tolm open-roster FILE: "打开 (&O)" of the Settings window with FILE chosen
// in its file dialog.
#include <filesystem>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsWindowSession.h"
#include "host/import/ForeignWorkbook.h"
#include "platform/ForwardingToolkit.h"
#include "workbook/ForeignRoster.h"
#include "workbook/ParameterCells.h"

namespace cli {

namespace {

// The scripted toolkit, except that the first file dialog is answered with
// the command's FILE, shown as a scripted pick is.
class PickingToolkit : public platform::ForwardingToolkit {
public:
    PickingToolkit(ScriptedToolkit& inner, std::ostream& out, std::string file)
        : platform::ForwardingToolkit(inner), out_(out), file_(std::move(file)) {}

    std::string OpenFileDialog(const platform::OpenFileRequest& r) override {
        if (file_.empty()) return Inner().OpenFileDialog(r);
        std::string file;
        file.swap(file_);
        out_ << "[" << r.title << "] 选择文件：" << file << '\n';
        return file;
    }

    void Pick(std::string file) { file_ = std::move(file); }

private:
    std::ostream& out_;
    std::string file_;
};

class OpenRosterCommand : public Command {
public:
    std::string Name() const override { return "open-roster"; }
    std::string Arguments() const override { return "FILE"; }
    std::string Summary() const override { return "选择花名册工作簿（设置窗口的“打开”按钮）"; }
    std::string Details() const override {
        return "打开设置窗口，单击“打开 (&O)”，在文件对话框中选择 FILE。成功时花名册的文件夹和文件名\n"
               "记入系统工作簿的参数单元格 K1、L1，然后输出设置窗口中花名册的信息。\n"
               "花名册不能打开（例如另一个同名的工作簿已经打开）时显示提示，K1、L1 不变，退出码 1。\n"
               "FILE 是 .xls、.ods 或 .csv 文件时，先把它另存为同一文件夹中同名的 .xlsx 工作簿（原文件不变）并\n"
               "输出新文件的路径，以后以该 .xlsx 作为花名册；同名的 .xlsx 已经存在时不替换它，退出码 4。\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 1; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        std::string file = ctx.Absolute(args[0]);
        PickingToolkit toolkit(ctx.toolkit, ctx.out, file);
        SettingsWindowSession session(ctx, &toolkit);
        if (host::ForeignFormatOf(file) != host::ForeignFormat::None) {
            // The user named the file: it is saved as .xlsx without a question,
            // and the dialog of the window then picks the .xlsx.
            workbook::Outcome saved;
            file = workbook::SaveForeignRoster(session.Component().Context(), file, false, saved);
            if (file.empty()) return ExitCodeOf(saved);
            toolkit.Pick(file);
        }
        session.Window().Command1[ui::FrmSeZhi::kOpen].Click();
        session.PrintWindow(ctx.out);
        return ExitCodeOf(session.Window().LastOutcome());
    }
};

}  // namespace

std::unique_ptr<Command> MakeOpenRosterCommand() { return std::make_unique<OpenRosterCommand>(); }

}  // namespace cli
