// tolm dump FILE: the golden dump of a workbook on standard output.
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "host/Application.h"
#include "host/Dump.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"

namespace cli {

namespace {

class DumpCommand : public Command {
public:
    std::string Name() const override { return "dump"; }
    std::string Arguments() const override { return "FILE"; }
    std::string Summary() const override { return "逐行列出工作簿的内容（包括隐藏的工作表）"; }
    std::string Details() const override {
        return "读入 FILE，每行输出一项内容：工作表、单元格的值与格式、合并区域、可见性、代码名称、\n"
               "保护和图片。文件不会被改动。\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 1; }

    bool ChangesFiles() const override { return false; }
    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        // Loaded outside the application's workbook list: the save step never sees it.
        auto wb = host::xlsx::LoadWorkbook(&ctx.app, ctx.Absolute(args[0]));
        ctx.out << host::Dump(*wb);
        return kExitDone;
    }
};

}  // namespace

std::unique_ptr<Command> MakeDumpCommand() { return std::make_unique<DumpCommand>(); }

}  // namespace cli
