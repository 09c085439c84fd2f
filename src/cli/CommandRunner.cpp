#include "cli/CommandRunner.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SaveStep.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/LockFile.h"
#ifdef TOLM_WITH_RENDER
#include "render/FontMeasurer.h"
#endif

namespace cli {

namespace {

std::vector<std::unique_ptr<Command>> AllCommands() {
    std::vector<std::unique_ptr<Command>> all;
    all.push_back(MakeStartCommand());
    all.push_back(MakeDumpCommand());
    all.push_back(MakeResaveCommand());
    all.push_back(MakeSampleCommand());
    all.push_back(MakeOpenRosterCommand());
    all.push_back(MakeSettingsCommand());
    all.push_back(MakeEditCommand());
    all.push_back(MakeShowCommand());
    all.push_back(MakeStatisticsCommand());
    all.push_back(MakeMaintainCommand());
    all.push_back(MakeArrangeCommand());
    all.push_back(MakeTemplateCommand());
    all.push_back(MakeTablesCommand());
#ifdef TOLM_WITH_RENDER
    all.push_back(MakePrintCommand());
#endif
    return all;
}

Command* Find(const std::vector<std::unique_ptr<Command>>& all, const std::string& name) {
    for (const auto& c : all)
        if (c->Name() == name) return c.get();
    return nullptr;
}

std::string Synopsis(const Command& c) {
    std::string s = "tolm " + c.Name();
    if (!c.Arguments().empty()) s += " " + c.Arguments();
    return s;
}

std::string CommandHelp(const Command& c) {
    return "用法：" + Synopsis(c) + " [选项…]\n" + c.Summary() + "\n\n" + c.Details() +
           "\n全局选项见 tolm --help。\n";
}

const char* kOptionsText =
    "全局选项：\n"
    "  --system FILE        系统工作簿（否则环境变量 TOLM_SYSTEM，否则 ~/考场编排/考场编排系统.xlsx）\n"
    "  --answer yes|no|cancel|ok\n"
    "                       按提问的顺序回答消息框，可重复；ok 可以对应只有“确定”的提示\n"
    "  --input TEXT         按顺序回答输入框，可重复\n"
    "  --pick FILE          按顺序回答打开文件对话框，可重复；空字符串表示取消\n"
    "  --seed N             随机数种子（否则环境变量 TOLM_SEED）\n"
    "  --out DIR            命令新建而未保存的工作簿保存到此文件夹（默认：花名册所在文件夹，否则当前文件夹）\n"
    "  --no-save            不保存任何文件\n"
    "  --force              工作簿正被其他程序（或另一个 tolm）打开修改时仍然继续；否则以退出码 4 结束\n"
    "  --help               显示帮助；tolm help COMMAND 或 tolm COMMAND --help 显示命令的帮助\n"
    "  --version            显示版本\n"
    "\n"
    "没有回答的问题：标准输入是终端时在终端上提问，否则以退出码 3 结束，不保存任何文件。\n"
    "\n"
    "退出码：0 操作完成；1 操作在自身的检查处中止；2 用法错误；3 问题没有回答；4 文件无法读取或写入\n";

struct RunningApplication {
    explicit RunningApplication(host::Application* app) : previous(host::Application::Running()) {
        host::Application::SetRunning(app);
    }
    ~RunningApplication() { host::Application::SetRunning(previous); }
    host::Application* previous;
};

// A file error as the user reads it; a file held by another program comes
// with the way past it.
void ReportFileError(Console& console, const host::FileError& e) {
    console.err << "tolm：" << e.what() << '\n';
    if (dynamic_cast<const host::LockedFileError*>(&e))
        console.err << "确认对方已不再使用这个文件后，可加全局选项 --force 继续。\n";
}

int UsageFailure(Console& console, const std::string& message, const std::string& usage) {
    console.err << "tolm：" << message << "\n\n" << usage;
    return kExitUsage;
}

int RunCommand(Command& command, const CommandLine& cl, Console console, const RunEnvironment& environment) {
    host::Application app;
    RunningApplication running(&app);
#ifdef TOLM_WITH_RENDER
    // Rows left to their content get its height when printed and saved.
    render::FontMeasurer measurer;
    app.SetContentMeasurer(&measurer);
#endif
    ScriptedToolkit toolkit(console,
                            {cl.options.answers, cl.options.inputs, cl.options.picks},
                            cl.options.seed, environment.currentFolder);
    CommandContext ctx{cl.options, console.out, console.err, toolkit, app, environment.currentFolder};
    // Workbooks a command may write hold lock files while it runs; another
    // program's lock stops it unless --force says to go on.
    const bool locking = command.ChangesFiles() && !cl.options.noSave;
    app.SetLockingFiles(locking);
    app.SetLockQuestion([&](const std::string& file, const host::LockHolder& holder, bool) {
        if (!cl.options.force) return false;
        console.err << "tolm：" << file << " 正被 " << holder.Describe() << "打开修改；按 --force 继续。\n";
        return true;
    });
    // Where a procedure is about to report success, what it changed is
    // written first; a failure is reported instead and nothing more is saved.
    bool saveFailed = false;
    toolkit.SetSaveChanges([&] {
        if (cl.options.noSave) return true;
        try {
            SaveChangedWorkbooks(ctx);
            return true;
        } catch (const host::FileError& e) {
            ReportFileError(console, e);
            saveFailed = true;
            return false;
        }
    });
    try {
        int code = command.Run(ctx, cl.arguments);
        if (saveFailed) return kExitFileError;
        // A command stopped at its own check may have changed workbooks on the way (a revision
        // report, say): they are saved like those of a completed command.
        if (!cl.options.noSave) SaveChangedWorkbooks(ctx);
        return code;
    } catch (const UsageError& e) {
        return UsageFailure(console, e.what(), CommandHelp(command));
    } catch (const ScriptMismatchError& e) {
        console.err << "tolm：" << e.what() << '\n';
        return kExitUsage;
    } catch (const NoAnswerError& e) {
        console.err << "tolm：" << e.what() << "\n未保存任何文件。\n";
        return kExitNoAnswer;
    } catch (const host::FileError& e) {
        ReportFileError(console, e);
        return kExitFileError;
    } catch (const host::HostError& e) {
        // A host failure that no procedure handled: what was half done is not saved.
        console.err << "tolm：操作失败：" << e.what() << "\n未保存任何文件。\n";
        return kExitStopped;
    } catch (const std::bad_alloc&) {
        console.err << "tolm：内存不足，操作未完成。\n未保存任何文件。\n";
        return kExitStopped;
    } catch (const std::exception& e) {
        console.err << "tolm：操作失败：" << e.what() << "\n未保存任何文件。\n";
        return kExitStopped;
    }
}

}  // namespace

std::string UsageText() {
    std::ostringstream s;
    s << "用法：tolm [选项…] COMMAND [参数…]\n"
         "考场编排系统的命令行：每个命令执行一个窗口操作，然后保存它改动过的工作簿。\n\n"
         "命令：\n";
    for (const auto& c : AllCommands()) {
        std::string head = c->Name() + (c->Arguments().empty() ? "" : " " + c->Arguments());
        s << "  " << head << std::string(head.size() < 19 ? 19 - head.size() : 1, ' ') << c->Summary() << '\n';
    }
    s << "  help [COMMAND]     显示帮助\n\n" << kOptionsText;
    return s.str();
}

int RunCommandLine(const std::vector<std::string>& args, Console console, const RunEnvironment& environment) {
    CommandLine cl;
    try {
        auto all = AllCommands();
        cl = ParseCommandLine(args, environment.env, [&all](const std::string& command, const std::string& option) {
            const Command* c = Find(all, command);
            if (!c) return false;
            const auto own = c->ValueOptions();
            return std::find(own.begin(), own.end(), option) != own.end();
        }, [&all](const std::string& command, const std::string& option) {
            const Command* c = Find(all, command);
            if (!c) return false;
            const auto own = c->FlagOptions();
            return std::find(own.begin(), own.end(), option) != own.end();
        });
    } catch (const UsageError& e) {
        return UsageFailure(console, e.what(), UsageText());
    }
    if (cl.options.version) {
        console.out << "tolm " << TOLM_VERSION << '\n';
        return kExitDone;
    }
    auto all = AllCommands();
    if (cl.command.empty()) {
        console.out << UsageText();
        return kExitDone;
    }
    if (cl.command == "help") {
        if (cl.arguments.empty()) {
            console.out << UsageText();
            return kExitDone;
        }
        const Command* c = Find(all, cl.arguments[0]);
        if (!c) return UsageFailure(console, "没有命令“" + cl.arguments[0] + "”", UsageText());
        if (cl.arguments.size() > 1) return UsageFailure(console, "help 只接受一个命令名", UsageText());
        console.out << CommandHelp(*c);
        return kExitDone;
    }
    Command* command = Find(all, cl.command);
    if (!command) return UsageFailure(console, "未知的命令“" + cl.command + "”", UsageText());
    if (cl.options.help) {
        console.out << CommandHelp(*command);
        return kExitDone;
    }
    if (cl.arguments.size() < command->MinArguments())
        return UsageFailure(console, command->Name() + " 缺少参数", CommandHelp(*command));
    if (cl.arguments.size() > command->MaxArguments())
        return UsageFailure(console, command->Name() + " 的参数太多", CommandHelp(*command));
    return RunCommand(*command, cl, console, environment);
}

}  // namespace cli
