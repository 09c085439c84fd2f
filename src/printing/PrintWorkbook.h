#pragma once
// The Print window's two procedures: choosing the workbook to print, and
// printing (or previewing) it — block by block when it carries a
// print-information sheet (an exam-table workbook), sheet by sheet otherwise.
//
// The print-information sheet (named TAB + "打印") read as one value table V:
//
//        A            B          C            D        …
//   1    title rows   sheet 1    (empty)      sheet 2
//   2    start        width      start        width       one row per block
//   …    …            …          …            …
//   e    0            0          0            0           the end of a sheet's blocks
//
// Block r of a sheet prints rows V(r, c−1) … V(r+1, c−1) − 2 (one blank row
// between blocks) over V(r, c) columns, with V(1, 1) title rows repeated.
#include <string>
#include <vector>

#include "workbook/Outcome.h"

namespace host {
class Workbook;
}
namespace workbook {
struct Context;
}

namespace printing {

inline constexpr const char* kOpenDialogTitle = "请选择花名册…";
inline constexpr const char* kOpenDialogFilter = "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm";
inline constexpr const char* kEndTitle = "操作提示…";
inline constexpr const char* kSameNameRefusal =
    "不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，请关闭已经打开的文档，或者重新命名其中的一个文档。";
inline constexpr const char* kNothingChosen = "请点击“打开”按钮选择需打印的工作簿！";
inline constexpr const char* kNextBlockQuestion = "单击按钮“是”退出打印预览，单击按钮“否”预览下一分区！";
inline constexpr const char* kNextSheetQuestion = "单击按钮“是”退出打印预览，单击按钮“否”预览下一工作表！";
inline constexpr const char* kQuestionTitle = "提示";

// "《" + name + "》已被删除！"
std::string DeletedMessage(const std::string& name);

// The workbook the window shows: its folder (Label1) and file name (Label2).
struct ChosenWorkbook {
    std::string path, name;
};

// "打  开 (&O)": the open dialog, the checks, Workbooks.Open. Done with the
// chosen workbook filled in; Stopped when nothing was chosen or the file
// cannot be opened here (the user was told). A file that cannot be read is
// a host::FileError for the front end.
workbook::Outcome OpenWorkbookToPrint(const workbook::Context& ctx, ChosenWorkbook& chosen);

struct PrintRequest {
    bool preview = false;
    // Every job of the run into this PDF file instead of the printer (the
    // window's "导出 PDF (&F)"); empty: the printer, or the preview.
    std::string pdfFile;
};

// What a print run did, beyond its outcome.
struct PrintReport {
    workbook::Outcome outcome;
    int jobs = 0;                        // PrintOut calls that printed
    std::vector<std::string> failures;   // jobs the print service refused, with its reason
    std::vector<std::string> empty;      // sheets with nothing to print, which printed nothing
    bool partitionMode = false;
};

// The print procedure. Done when every job printed (or the user ended a
// preview); Stopped when nothing was chosen, the file is gone, the user
// cancelled closing a same-named workbook, or a job could not be printed.
// Printing saves nothing: the print areas and titles it sets stay in the
// open workbook only.
PrintReport PrintChosenWorkbook(const workbook::Context& ctx, const ChosenWorkbook& chosen, const PrintRequest& request);

}  // namespace printing
