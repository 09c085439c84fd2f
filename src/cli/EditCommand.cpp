// tolm edit FILE --sheet NAME CELL=VALUE …: values typed into cells as a user
// types them in the host.
#include <algorithm>
#include <cctype>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SheetArguments.h"
#include "host/Address.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"

namespace cli {

namespace {

struct Edit {
    std::string address;  // as typed
    host::CellRef cell;
    std::string text;
};

Edit ParseEdit(const std::string& arg) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("“" + arg + "”不是 CELL=VALUE 的形式");
    std::string address = arg.substr(0, eq);
    std::string upper = address;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    auto cell = host::ParseCellRef(upper);
    if (!cell) throw UsageError("“" + address + "”不是单元格地址（例如 I2）");
    return {address, *cell, arg.substr(eq + 1)};
}

std::string SheetOption(const CommandContext& ctx) {
    std::string sheet;
    for (const auto& [name, value] : ctx.options.commandOptions)
        if (name == "--sheet") sheet = value;
    if (sheet.empty()) throw UsageError("edit 需要 --sheet NAME");
    return sheet;
}

class EditCommand : public Command {
public:
    std::string Name() const override { return "edit"; }
    std::string Arguments() const override { return "FILE CELL=VALUE…"; }
    std::string Summary() const override { return "像用户输入一样在单元格中填入值"; }
    std::string Details() const override {
        return "  --sheet NAME   必须给出：填入的工作表\n"
               "在 FILE 的工作表 NAME 中依次填入各个值（NAME 中的 \\t 表示制表符，例如 \"高一\\t设置\"）：\n"
               "看起来像数字的文字成为数字，设为文本格式的单元格保留文字，以 = 开头的是公式，空值清除单元格。\n"
               "受保护工作表中锁定的单元格拒绝修改：这时不填入任何值，文件不变，退出码 1。\n"
               "填入后，工作簿中的公式（例如设置表的“场人”和“合计”）随即算出新的结果，保存的也是新结果；\n"
               "无法重新计算的公式（例如用到 TEXT、ROUND 的）保留原有结果，并列出用到的函数。\n";
    }
    size_t MinArguments() const override { return 2; }
    size_t MaxArguments() const override { return 100000; }
    std::vector<std::string> ValueOptions() const override { return {"--sheet"}; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        const std::string sheetName = SheetOption(ctx);
        std::vector<Edit> edits;
        for (size_t i = 1; i < args.size(); ++i) edits.push_back(ParseEdit(args[i]));

        const std::string file = ctx.Absolute(args[0]);
        host::Workbook* wb = ctx.app.Workbooks().Open(file);
        if (!wb) throw host::FileError(file, "已经打开了另一个同名的工作簿");
        host::Worksheet* ws = nullptr;
        try {
            ws = &SheetArgument(*wb, sheetName);
        } catch (const SheetNotFound& e) {
            ctx.err << "tolm：" << e.what() << '\n';
            return kExitStopped;
        }
        // Every edit is checked before the first is made, so a refusal leaves the file as it was.
        for (const Edit& e : edits) {
            // As the host refuses typing it; text read from a file is kept whole.
            if (const size_t n = host::Utf16Length(e.text); n > host::kMaxCellTextLength + (e.text.starts_with('\'') ? 1 : 0)) {
                ctx.err << "tolm：单元格 " << e.address << " 的文本有 " << n << " 个字符，超过单元格的上限 "
                        << host::kMaxCellTextLength << " 个字符。没有填入任何值。\n";
                return kExitStopped;
            }
            if (ws->ProtectContents() && ws->Cells(e.cell.row, e.cell.col).Locked()) {
                ctx.err << "tolm：工作表“" << ShownSheetName(ws->Name()) << "”受保护，单元格 " << e.address
                        << " 已锁定，不能修改。没有填入任何值。\n";
                return kExitStopped;
            }
        }
        for (const Edit& e : edits) ws->UserEdit(e.cell.row, e.cell.col, e.text);
        // Shown after all edits: a formula's result may depend on a later one.
        for (const Edit& e : edits) {
            host::Range cell = ws->Cells(e.cell.row, e.cell.col);
            ctx.out << ShownSheetName(ws->Name()) << "!" << host::CellAddress(e.cell.row, e.cell.col) << " ← "
                    << cell.Formula();
            if (cell.HasFormula()) ctx.out << "（结果 " << cell.Text() << "）";
            ctx.out << '\n';
        }
        const std::string kept = ctx.app.Calculate();
        if (!kept.empty()) ctx.out << kept << '\n';
        return kExitDone;
    }
};

}  // namespace

std::unique_ptr<Command> MakeEditCommand() { return std::make_unique<EditCommand>(); }

}  // namespace cli
