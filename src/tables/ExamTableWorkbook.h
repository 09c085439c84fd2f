#pragma once
// The workbook a generation writes its tables into, and its print-information
// sheet (tab name TAB + "打印", very hidden once written) that tells the print
// window where each block of each output sheet starts and how wide it is:
//
//   A1          rows to repeat at the top of each printed block
//   row 1, 2n   name of output sheet n
//   rows 2…, columns 2n − 1 and 2n   block table of output sheet n:
//               one row per block (start row, width), then a terminator row
//               (where a further block would start, a width that is not 0)
//
// Output sheets are added after the last sheet; their column A is a spare
// column deleted when the sheet is finished, so template column B becomes A.
#include <cstdint>
#include <string>
#include <vector>

#include "host/Array2D.h"

namespace host {
class Application;
class Workbook;
class Worksheet;
}  // namespace host
namespace platform {
class Toolkit;
}

namespace tables {

// Rows 0 … n − 1 of a block table, two columns; rows never written stay 0.
class BlockTable {
public:
    explicit BlockTable(int32_t rows) : cells_(rows, 2) {
        for (int32_t r = 1; r <= rows; ++r) cells_(r, 1) = cells_(r, 2) = host::Variant(0);
    }
    void SetStart(int32_t block, int32_t row) { At(block, 1) = host::Variant(row); }
    void SetWidth(int32_t block, int32_t width) { At(block, 2) = host::Variant(width); }
    const host::Array2D& Cells() const { return cells_; }

private:
    host::Variant& At(int32_t block, int32_t col);
    host::Array2D cells_;
};

inline constexpr const char* kPrintSheetName = "\t打印";

class ExamTableWorkbook {
public:
    // A new workbook of one sheet, which becomes the print-information sheet.
    explicit ExamTableWorkbook(host::Application& app);

    host::Workbook& Book() const { return *book_; }
    host::Worksheet& PrintSheet() const;
    // A new output sheet after the last sheet, with the template's page setup
    // (paper, orientation, margins, scale, centring, header and footer; not
    // the print area or title rows, which printing sets per block).
    host::Worksheet& AddOutputSheet(const host::Worksheet& templateSheet);
    int32_t OutputSheets() const { return outputs_; }

    // Deletes the spare column A.
    static void DeleteSpareColumn(host::Worksheet& sheet);
    // Names the sheet and writes its name and block table into the print
    // sheet as output sheet n (the count of output sheets so far).
    void RecordSheet(host::Worksheet& sheet, const std::string& name, const BlockTable& table);
    // The single output sheet that keeps its name: its table at A2, its name at B1.
    void RecordOnlySheet(host::Worksheet& sheet, const BlockTable& table);

    // With more than one sheet: "A1" = rows to repeat, then very hidden.
    void WriteRepeatRows(int32_t rows);

    // Closes the workbook unsaved (a generation that failed half way).
    void Discard();

private:
    host::Workbook* book_;
    int32_t outputs_ = 0;
};

// The exam-table folder beside the roster: Path / Name + "考试用表".
std::string ExamTableFolder(const host::Workbook& roster);

// The file a template's tables are saved as in `folder`: name + ".xlsx" when
// no file there begins with the name and ends with ".xlsx"; otherwise
// name + "(n).xlsx" with n the count of such files, or the next free number
// when that file exists, so no earlier exam-table workbook is overwritten.
std::string NumberedFileName(const std::string& folder, const std::string& templateName);

}  // namespace tables
