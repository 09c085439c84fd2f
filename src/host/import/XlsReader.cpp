// Excel 97-2003 workbooks through FreeXL, which decodes the compound file and
// the BIFF records and hands out each cell's value; dates come as text in the
// calendar, whatever date system the file uses. What it leaves out comes
// from XlsCellRecords.
#include <freexl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

#include "host/HostError.h"
#include "host/import/ImportParts.h"
#include "host/import/XlsCellRecords.h"

namespace host::import {

namespace {

std::string ReasonOf(int rc) {
    switch (rc) {
        case FREEXL_FILE_NOT_FOUND: return "无法打开文件（文件不存在或没有读取权限）";
        case FREEXL_INSUFFICIENT_MEMORY: return "内存不足，无法读取文件";
        case FREEXL_INVALID_CFBF_HEADER:
        case FREEXL_CFBF_INVALID_SIGNATURE:
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return "不是 Excel 97-2003 格式（.xls）的工作簿，或是加密的工作簿";
        case FREEXL_INVALID_CHARACTER:
        case FREEXL_UNSUPPORTED_CHARSET:
            return "文件中的文字使用了无法识别的字符集";
        default: break;
    }
    return "文件已损坏，无法作为 Excel 97-2003 工作簿（.xls）读取（错误代码 " + std::to_string(rc) + "）";
}

struct Handle {
    const void* h = nullptr;
    ~Handle() {
        if (h) freexl_close(h);
    }
};

}  // namespace

void ReadXls(const std::string& path, xlsx::WorkbookSink& sink) {
    Handle xls;
    int rc = freexl_open(path.c_str(), &xls.h);
    if (rc != FREEXL_OK) throw FileError(path, ReasonOf(rc));
    unsigned int info = 0;
    if (freexl_get_info(xls.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        throw FileError(path, "工作簿设置了打开密码，无法读取；请在 Excel 或 WPS 中取消密码后再选择它");
    unsigned int sheets = 0;
    if ((rc = freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &sheets)) != FREEXL_OK) throw FileError(path, ReasonOf(rc));

    // Formula results, booleans and errors, which FreeXL leaves out; only
    // when the records name the same worksheets as FreeXL does.
    std::vector<XlsSheetCells> extra;
    {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        extra = ReadXlsCellRecords(bytes);
        if (extra.size() != sheets) extra.clear();
    }

    DeclareFormats(sink);
    for (unsigned int s = 0; s < sheets; ++s) {
        const char* name = nullptr;
        if ((rc = freexl_get_worksheet_name(xls.h, (unsigned short)s, &name)) != FREEXL_OK) throw FileError(path, ReasonOf(rc));
        if ((rc = freexl_select_active_worksheet(xls.h, (unsigned short)s)) != FREEXL_OK) throw FileError(path, ReasonOf(rc));
        unsigned int rows = 0;
        unsigned short columns = 0;
        if ((rc = freexl_worksheet_dimensions(xls.h, &rows, &columns)) != FREEXL_OK) throw FileError(path, ReasonOf(rc));
        xlsx::SheetSink& sheet =
            sink.AddSheet(name ? name : "Sheet" + std::to_string(s + 1), extra.empty() ? xlSheetVisible : extra[s].visible);
        const auto* more = extra.empty() ? nullptr : &extra[s].cells;
        unsigned int lastRow = rows;
        unsigned int lastColumn = columns;
        if (more)
            for (const auto& [at, v] : *more) {
                lastRow = std::max(lastRow, unsigned(at.first));
                lastColumn = std::max(lastColumn, unsigned(at.second));
            }
        // BIFF8 sheets end at 65,536 rows and 256 columns.
        for (unsigned int r = 0; r < lastRow && r < unsigned(kMaxRows); ++r) {
            bool started = false;
            for (unsigned int c = 0; c < lastColumn && c < unsigned(kMaxColumns); ++c) {
                FreeXL_CellValue v;
                v.type = FREEXL_CELL_NULL;
                if (r < rows && c < columns &&
                    (rc = freexl_get_cell_value(xls.h, r, (unsigned short)c, &v)) != FREEXL_OK)
                    throw FileError(path, ReasonOf(rc));
                Variant value;
                uint32_t xf = kGeneralXf;
                switch (v.type) {
                    case FREEXL_CELL_INT: value = Variant(v.value.int_value); break;
                    case FREEXL_CELL_DOUBLE: value = Variant(v.value.double_value); break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                        if (v.value.text_value && *v.value.text_value) value = Variant(v.value.text_value);
                        break;
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME: {
                        double serial = 0;
                        const std::string text = v.value.text_value ? v.value.text_value : "";
                        if (DateTextToSerial(text, serial, xf)) value = Variant(serial);
                        else if (!text.empty()) value = Variant(text);
                        break;
                    }
                    default: break;
                }
                if (value.IsEmpty() && more)
                    if (auto it = more->find({int32_t(r + 1), int32_t(c + 1)}); it != more->end()) value = it->second;
                if (value.IsEmpty()) continue;
                if (!started) {
                    sheet.StartRow(int32_t(r + 1), RowInfo{});
                    started = true;
                }
                sheet.SetCell(int32_t(r + 1), int32_t(c + 1), xf, std::move(value));
            }
        }
        if (!extra.empty())
            for (const Rect& m : extra[s].merged) sheet.AddMergedArea(m);
    }
    sink.SetActiveSheet(0);
    sink.Finish();
}

}  // namespace host::import
