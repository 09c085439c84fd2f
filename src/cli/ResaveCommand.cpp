// tolm resave IN OUT: reads a workbook and writes it under another name.
#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"

namespace cli {

namespace {

class ResaveCommand : public Command {
public:
    std::string Name() const override { return "resave"; }
    std::string Arguments() const override { return "IN OUT"; }
    std::string Summary() const override { return "读入工作簿 IN，另存为 OUT"; }
    std::string Details() const override {
        return "IN 保持不变；OUT 已存在时被替换（先写入临时文件，再改名覆盖）。\n"
               "加 --no-save 时只读入 IN，检查它能否打开。\n";
    }
    size_t MinArguments() const override { return 2; }
    size_t MaxArguments() const override { return 2; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        // Adopted under the new name, so the save step writes OUT and never IN.
        auto wb = host::xlsx::LoadWorkbook(&ctx.app, ctx.Absolute(args[0]));
        wb->SetFileName(ctx.Absolute(args[1]));
        wb->SetSaved(false);
        ctx.app.AdoptWorkbook(std::move(wb));
        return kExitDone;
    }
};

}  // namespace

std::unique_ptr<Command> MakeResaveCommand() { return std::make_unique<ResaveCommand>(); }

}  // namespace cli
