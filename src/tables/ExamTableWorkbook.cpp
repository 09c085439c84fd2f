#include "tables/ExamTableWorkbook.h"

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace tables {

namespace fs = std::filesystem;

host::Variant& BlockTable::At(int32_t block, int32_t col) {
    if (block < 0 || block >= cells_.Rows()) throw host::HostError("下标越界");
    return cells_(block + 1, col);
}

ExamTableWorkbook::ExamTableWorkbook(host::Application& app) : book_(&app.Workbooks().Add()) {
    book_->Sheet(1).SetName(kPrintSheetName);
}

host::Worksheet& ExamTableWorkbook::PrintSheet() const { return book_->Sheet(1); }

host::Worksheet& ExamTableWorkbook::AddOutputSheet(const host::Worksheet& templateSheet) {
    host::Worksheet& ws = book_->Worksheets().Add(&book_->Sheet(book_->SheetCount()));
    ++outputs_;
    host::PageSetup setup = templateSheet.PageSetup();
    setup.PrintArea.clear();
    setup.PrintTitleRows.clear();
    setup.PrintTitleColumns.clear();
    ws.PageSetup() = setup;
    return ws;
}

void ExamTableWorkbook::DeleteSpareColumn(host::Worksheet& sheet) { sheet.Columns(1).Delete(host::xlShiftToLeft); }

void ExamTableWorkbook::RecordSheet(host::Worksheet& sheet, const std::string& name, const BlockTable& table) {
    host::ResumeNext([&] { sheet.SetName(name); });
    const int32_t n = outputs_;
    host::Worksheet& info = PrintSheet();
    info.Cells(2, 2 * n - 1).Resize(table.Cells().Rows(), 2).SetValues(table.Cells());
    info.Cells(1, 2 * n).SetValue(host::Variant(sheet.Name()));
}

void ExamTableWorkbook::RecordOnlySheet(host::Worksheet& sheet, const BlockTable& table) {
    host::Worksheet& info = PrintSheet();
    info.Cells(2, 1).Resize(table.Cells().Rows(), 2).SetValues(table.Cells());
    info.Cells(1, 2).SetValue(host::Variant(sheet.Name()));
}

void ExamTableWorkbook::WriteRepeatRows(int32_t rows) {
    if (book_->SheetCount() <= 1) return;
    host::Worksheet& info = PrintSheet();
    info.Cells(1, 1).SetValue(host::Variant(rows));
    // The first output sheet is what the user sees on opening the workbook.
    book_->SetActiveSheet(&book_->Sheet(2));
    info.SetVisible(host::xlSheetVeryHidden);
}

void ExamTableWorkbook::Discard() {
    host::Workbook* b = book_;
    book_ = nullptr;
    if (b) host::ResumeNext([&] { b->Close(false); });
}

std::string ExamTableFolder(const host::Workbook& roster) {
    return roster.Path() + host::Application::PathSeparator() + roster.Name() + "考试用表";
}

std::string NumberedFileName(const std::string& folder, const std::string& templateName) {
    const std::string ext = ".xlsx";
    int32_t matching = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= templateName.size() + ext.size() && name.starts_with(templateName) && name.ends_with(ext))
            ++matching;
    }
    const std::string base = folder + host::Application::PathSeparator() + templateName;
    if (matching == 0) return base + ext;
    for (int32_t n = matching;; ++n) {
        const std::string file = base + "(" + std::to_string(n) + ")" + ext;
        if (!fs::exists(file, ec)) return file;
    }
}

}  // namespace tables
