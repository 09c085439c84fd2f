#include "host/xlsx/ReaderModelSink.h"

#include "host/HostError.h"

namespace host::xlsx {

class ModelSink::Sheet : public SheetSink {
public:
    Sheet(Worksheet& ws, const std::vector<uint32_t>& styleOfXf) : ws_(ws), styleOfXf_(styleOfXf) {}

    void SetCodeName(const std::string& codeName) override { ws_.SetCodeName(codeName); }

    void SetDefaultSizes(double columnWidth, double rowHeight) override {
        if (columnWidth > 0) ws_.SetDefaultColumnWidth(columnWidth);
        if (rowHeight > 0) ws_.SetStandardHeight(rowHeight);
    }

    void SetColumns(int32_t first, int32_t last, const ColumnInfo& info) override {
        ColumnInfo mapped = info;
        mapped.style = Style(info.style);
        if (mapped.IsDefault()) return;
        for (int32_t c = first; c <= last; ++c) ws_.GetColumn(c) = mapped;
        ws_.SizesChanged();
    }

    void ExpectRows(int32_t lastRow) override { ws_.RowsData().reserve(size_t(lastRow)); }

    void StartRow(int32_t row, const RowInfo& info) override {
        Row& r = RowAt(row);
        r.info = info;
        ws_.SizesChanged();
        r.info.style = Style(info.style);
        // Rosters repeat one row shape; sizing each row like the last avoids
        // vector growth slack, which would be a third of the sheet's memory.
        if (r.cells.empty() && lastCellCount_ > 0) r.cells.reserve(lastCellCount_);
    }

    void SetCell(int32_t row, int32_t col, uint32_t xf, Variant&& value) override {
        uint32_t style = Style(xf);
        if (value.IsEmpty() && style == 0) return;
        Cell& c = RowAt(row).Get(col);
        c.style = style;
        c.value = std::move(value);
        c.formula.reset();
    }

    void SetFormulaCell(int32_t row, int32_t col, uint32_t xf, std::string&& formula, Variant&& cached) override {
        Cell& c = RowAt(row).Get(col);
        c.style = Style(xf);
        c.value = std::move(cached);
        c.formula = std::make_unique<std::string>(std::move(formula));
    }

    void AddMergedArea(const Rect& area) override { ws_.MergedAreas().push_back(area); }
    void SetProtection(SheetProtection&& p) override { ws_.SetProtection(std::move(p)); }
    void SetPageSetup(PageSetup&& setup) override { ws_.PageSetup() = std::move(setup); }

    void SetView(const SheetView& v) override {
        ws_.SetShowGridLines(v.showGridLines);
        ws_.SetTabSelected(v.tabSelected);
        ws_.SetActiveCell(v.activeCell);
        ws_.SetSelection(v.selection);
        if (v.frozenRows || v.frozenColumns) ws_.SetFrozen(v.frozenRows, v.frozenColumns);
    }

    // A one-cell anchor comes with its end left at its start: the end cell is
    // where its extent reaches with this sheet's sizes, so that the picture is
    // written back as a two-cell anchor of the same size.
    void AddPicture(Picture&& p) override {
        if (p.to == p.from && (p.widthEmu > 0 || p.heightEmu > 0)) {
            constexpr double kEmuPerPoint = 12700;
            const SheetGeometry& g = ws_.Geometry();
            double x = g.Left(p.from.col) + double(p.from.colOffset) / kEmuPerPoint;
            double y = g.Top(p.from.row) + double(p.from.rowOffset) / kEmuPerPoint;
            p.to = g.AnchorAt(x + double(p.widthEmu) / kEmuPerPoint, y + double(p.heightEmu) / kEmuPerPoint);
        }
        ws_.Pictures().push_back(std::move(p));
    }
    void SetKept(KeptSheet&& kept) override { ws_.Kept() = std::move(kept); }

    Worksheet& Target() const { return ws_; }

private:
    uint32_t Style(uint32_t xf) const { return xf < styleOfXf_.size() ? styleOfXf_[xf] : 0; }

    Row& RowAt(int32_t row) {
        if (row != currentRow_) {
            if (current_) lastCellCount_ = current_->cells.size();
            current_ = &ws_.GetRow(row);
            currentRow_ = row;
        }
        return *current_;
    }

    Worksheet& ws_;
    const std::vector<uint32_t>& styleOfXf_;
    // The row being filled; GetRow may move rows, so the pointer is renewed
    // whenever the row changes and never kept across rows.
    Row* current_ = nullptr;
    int32_t currentRow_ = 0;
    size_t lastCellCount_ = 0;
};

ModelSink::ModelSink(Application* app, const std::string& fullName) : wb_(std::make_unique<Workbook>(app)) {
    wb_->SetFileName(fullName);
}

ModelSink::~ModelSink() = default;

std::unique_ptr<Workbook> ModelSink::Take() { return finished_ ? std::move(wb_) : nullptr; }

void ModelSink::SetDate1904(bool date1904) { wb_->SetDate1904(date1904); }

void ModelSink::SetCellFormats(std::vector<CellFormat>&& formats) {
    styleOfXf_.assign(formats.size(), 0);
    if (formats.empty()) return;
    wb_->Styles().SetDefault(formats[0]);
    for (size_t i = 1; i < formats.size(); ++i) styleOfXf_[i] = wb_->Styles().Intern(formats[i]);
}

SheetSink& ModelSink::AddSheet(const std::string& name, int visible) {
    // Code names come with the sheet's own part; sheets without one get the
    // model's next free code name in Finish, so that no default collides with
    // a code name a later sheet carries.
    Worksheet& ws = wb_->InsertSheet(-1, name, "");
    // SetVisible refuses to hide the last visible sheet, which a file may ask
    // for before its visible sheets come; states are applied in Finish.
    sheets_.push_back(std::make_unique<Sheet>(ws, styleOfXf_));
    visibility_.push_back(visible);
    return *sheets_.back();
}

Worksheet& ModelSink::SheetAt(int index) const {
    if (index < 0 || size_t(index) >= sheets_.size()) throw HostError("工作表序号无效");
    return sheets_[size_t(index)]->Target();
}

void ModelSink::SetPrintArea(int sheet, const std::string& areas) { SheetAt(sheet).PageSetup().PrintArea = areas; }

void ModelSink::SetPrintTitles(int sheet, const std::string& rows, const std::string& columns) {
    SheetAt(sheet).PageSetup().PrintTitleRows = rows;
    SheetAt(sheet).PageSetup().PrintTitleColumns = columns;
}

void ModelSink::AddDefinedName(DefinedName&& name) { wb_->DefinedNames().push_back(std::move(name)); }

void ModelSink::SetActiveSheet(int sheet) {
    if (sheet >= 0 && size_t(sheet) < sheets_.size()) active_ = sheet;
}

void ModelSink::SetVbaProject(std::vector<uint8_t>&& bytes) {
    wb_->SetVbaProject(std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
}

void ModelSink::SetKept(KeptWorkbook&& kept) { wb_->Kept() = std::move(kept); }

void ModelSink::Finish() {
    for (auto& s : sheets_)
        if (s->Target().CodeName().empty()) s->Target().SetCodeName(wb_->NextCodeName());
    // A file whose every sheet is hidden cannot be shown; the host keeps the
    // first one visible, as Excel does when it repairs such a file.
    bool anyVisible = false;
    for (int v : visibility_) anyVisible |= v == xlSheetVisible;
    if (!anyVisible && !visibility_.empty()) visibility_.front() = xlSheetVisible;
    for (size_t i = 0; i < sheets_.size(); ++i)
        if (visibility_[i] != xlSheetVisible) sheets_[i]->Target().SetVisible(visibility_[i]);
    if (active_ < 0 || visibility_[size_t(active_)] != xlSheetVisible) {
        active_ = -1;
        for (size_t i = 0; i < visibility_.size() && active_ < 0; ++i)
            if (visibility_[i] == xlSheetVisible) active_ = int(i);
    }
    if (active_ >= 0) wb_->SetActiveSheet(&SheetAt(active_));
    wb_->SetSaved(true);
    finished_ = true;
}

}  // namespace host::xlsx
