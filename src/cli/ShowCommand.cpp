// tolm show FILE [--sheet NAME] [--range A1:K20]: the values of a sheet as a
// grid on standard output.
#include <algorithm>
#include <ostream>

#include "cli/Command.h"
#include "cli/OneLineText.h"
#include "cli/ExitCode.h"
#include "cli/SheetArguments.h"
#include "host/Address.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#ifdef TOLM_WITH_RENDER
#include "render/CellText.h"
#endif

namespace cli {

namespace {

// Columns a text takes in a terminal: East Asian wide characters take two.
size_t DisplayWidth(const std::string& s) {
    size_t width = 0;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t cp = len == 1 ? c : c & (0x7F >> len);
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += len;
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}


std::string Padded(const std::string& s, size_t width) { return s + std::string(width - DisplayWidth(s), ' '); }

std::string VisibilityNote(int visible) {
    if (visible == host::xlSheetHidden) return "（隐藏）";
    if (visible == host::xlSheetVeryHidden) return "（深度隐藏）";
    return "";
}

host::Rect AreaToShow(const host::Worksheet& ws, const CommandContext& ctx) {
    for (const auto& [name, value] : ctx.options.commandOptions) {
        if (name != "--range") continue;
        auto area = host::ParseArea(value);
        if (!area || area->IsWholeRows() || area->IsWholeColumns())
            throw UsageError("“" + value + "”不是单元格区域（例如 A1:K20）");
        return *area;
    }
    const host::Rect used = ws.UsedRect();
    return {1, 1, used.bottom, used.right};
}

// A cell's value on one line; a date as the sheet shows it (2009/9/1), not
// as its serial number.
std::string ShownValue(const host::Worksheet& ws, int32_t r, int32_t c) {
    const host::Variant& v = ws.ValueAt(r, c);
#ifdef TOLM_WITH_RENDER
    if (v.IsNumber()) {
        const std::string& format = ws.Parent().Styles().Get(ws.StyleAt(r, c)).numberFormat;
        if (render::IsDateFormat(format))
            return OneLineText(host::Variant(render::CellText(v, format, ws.Parent().Date1904()).toStdString()));
    }
#endif
    return OneLineText(v);
}

void PrintGrid(std::ostream& out, const host::Worksheet& ws, const host::Rect& a) {
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> head{""};
    for (int32_t c = a.left; c <= a.right; ++c) head.push_back(host::ColumnLetters(c));
    lines.push_back(head);
    for (int32_t r = a.top; r <= a.bottom; ++r) {
        std::vector<std::string> line{std::to_string(r)};
        for (int32_t c = a.left; c <= a.right; ++c) line.push_back(ShownValue(ws, r, c));
        lines.push_back(std::move(line));
    }
    std::vector<size_t> widths(head.size(), 0);
    for (const auto& line : lines)
        for (size_t k = 0; k < line.size(); ++k) widths[k] = std::max(widths[k], DisplayWidth(line[k]));
    for (const auto& line : lines) {
        std::string text = std::string(widths[0] - DisplayWidth(line[0]), ' ') + line[0];
        for (size_t k = 1; k < line.size(); ++k) text += "  " + Padded(line[k], widths[k]);
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    }
}

class ShowCommand : public Command {
public:
    std::string Name() const override { return "show"; }
    std::string Arguments() const override { return "FILE"; }
    std::string Summary() const override { return "以表格形式显示工作表中的值"; }
    std::string Details() const override {
        return "显示 FILE 中一张工作表的值（公式显示其结果，日期按单元格的日期格式），每行前是行号，表头是列标。\n"
               "  --sheet NAME    工作表名（默认第一张；隐藏的工作表也可以；\\t 表示制表符）\n"
               "  --range A1:K20  显示的区域（默认从 A1 到已用区域的右下角）\n"
               "单元格中的制表符和换行显示为 \\t 和 \\n。文件不会被改动。\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 1; }
    std::vector<std::string> ValueOptions() const override { return {"--sheet", "--range"}; }

    bool ChangesFiles() const override { return false; }
    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        // Loaded outside the application's workbook list: the save step never sees it.
        auto wb = host::xlsx::LoadWorkbook(&ctx.app, ctx.Absolute(args[0]));
        const host::Worksheet* ws = wb->SheetCount() ? &wb->Sheet(1) : nullptr;
        for (const auto& [name, value] : ctx.options.commandOptions) {
            if (name != "--sheet") continue;
            try {
                ws = &SheetArgument(*wb, value);
            } catch (const SheetNotFound& e) {
                ctx.err << "tolm：" << e.what() << '\n';
                return kExitStopped;
            }
        }
        if (!ws) {
            ctx.err << "tolm：" << wb->FullName() << " 中没有工作表\n";
            return kExitStopped;
        }
        const host::Rect area = AreaToShow(*ws, ctx);
        ctx.out << "工作表：" << ShownSheetName(ws->Name()) << VisibilityNote(ws->Visible())
                << "  区域：" << host::AreaAddress(area, false, false) << '\n';
        PrintGrid(ctx.out, *ws, area);
        return kExitDone;
    }
};

}  // namespace

std::unique_ptr<Command> MakeShowCommand() { return std::make_unique<ShowCommand>(); }

}  // namespace cli
