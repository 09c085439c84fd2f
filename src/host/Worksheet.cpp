#include "host/Worksheet.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "host/Application.h"
#include "host/AutoFit.h"
#include "host/HostError.h"
#include "host/Pagination.h"
#include "host/Protection.h"
#include "host/TextCompare.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"

namespace host {

namespace {
const Variant kEmpty;

// Maximum digit width of the default font in pixels; column widths in
// characters convert to pixels through it (see the file format's column width rule).
constexpr uint32_t kSpinCount = 100000;
constexpr double kEmuPerPoint = 12700;


size_t Utf8Length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) {
        if ((c & 0xC0) != 0x80) ++n;
    }
    return n;
}

std::string ImageExtension(const std::vector<uint8_t>& d) {
    if (d.size() >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return "jpeg";
    if (d.size() >= 8 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') return "png";
    if (d.size() >= 4 && d[0] == 'G' && d[1] == 'I' && d[2] == 'F') return "gif";
    if (d.size() >= 2 && d[0] == 'B' && d[1] == 'M') return "bmp";
    return {};
}
}  // namespace

Worksheet::Worksheet(Workbook* parent, std::string name, std::string codeName)
    : parent_(parent), name_(std::move(name)), codeName_(std::move(codeName)) {}

int Worksheet::Index() const {
    const auto& list = parent_->SheetList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this) return int(i) + 1;
    return 0;
}

void Worksheet::SetName(const std::string& name) {
    if (name.empty()) throw HostError("工作表名称不能为空");
    if (Utf8Length(name) > 31) throw HostError("工作表名称不能超过 31 个字符");
    if (name.find_first_of(":\\/?*[]") != std::string::npos) throw HostError("工作表名称不能包含 : \\ / ? * [ ]");
    if (name.front() == '\'' || name.back() == '\'') throw HostError("工作表名称不能以单引号开头或结尾");
    for (const auto& ws : parent_->SheetList()) {
        if (ws.get() != this && EqualsIgnoreCase(ws->Name(), name)) throw HostError("工作表名称“" + name + "”已被占用");
    }
    if (name_ != name) {
        name_ = name;
        parent_->Recalculation().StructureChanged();
        MarkChanged();
    }
}

void Worksheet::SetVisible(int v) {
    if (v == 1) v = xlSheetVisible;  // True
    if (v != xlSheetVisible && v != xlSheetHidden && v != xlSheetVeryHidden) throw HostError("无效的可见性");
    if (v != xlSheetVisible && visible_ == xlSheetVisible) {
        int visible = 0;
        for (const auto& ws : parent_->SheetList()) visible += ws->Visible() == xlSheetVisible;
        if (visible <= 1) throw HostError("工作簿中至少要有一张可见的工作表");
    }
    if (visible_ != v) {
        visible_ = v;
        MarkChanged();
    }
}

void Worksheet::Protect(const std::string& password) {
    SheetProtection p;
    p.enabled = true;
    if (!password.empty()) {
        p.algorithmName = "SHA-512";
        p.saltValue = protection::SaltFor(password);
        p.spinCount = kSpinCount;
        p.hashValue = protection::Sha512Hash(password, p.saltValue, p.spinCount);
        p.legacyHash = protection::LegacyHash(password);  // for readers that know only the old form
    }
    p.options = protection_.options;
    protection_ = std::move(p);
    MarkChanged();
}

bool Worksheet::CheckPassword(const std::string& password) const {
    if (!protection_.hashValue.empty())
        return protection::Sha512Hash(password, protection_.saltValue, protection_.spinCount) == protection_.hashValue;
    if (!protection_.legacyHash.empty()) return EqualsIgnoreCase(protection::LegacyHash(password), protection_.legacyHash);
    return true;  // protected without a password: the host ignores the one given
}

void Worksheet::Unprotect(const std::string& password) {
    if (!protection_.enabled) return;
    if (!CheckPassword(password)) throw HostError("密码不正确");
    protection_.enabled = false;
    protection_.legacyHash.clear();
    protection_.algorithmName.clear();
    protection_.hashValue.clear();
    protection_.saltValue.clear();
    protection_.spinCount = 0;
    MarkChanged();
}

void Worksheet::Activate() {
    if (visible_ != xlSheetVisible) throw HostError("不能激活隐藏的工作表");
    parent_->SetActiveSheet(this);
    parent_->Activate();
}

Range Worksheet::GetRange(std::string_view a1) {
    auto areas = ParseAreas(a1);
    if (areas.empty()) throw HostError("无效的地址：" + std::string(a1));
    return Range(this, std::move(areas));
}
Range Worksheet::GetRange(const Rect& r) { return Range(this, r); }
Range Worksheet::Cells(int32_t row, int32_t col) {
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns) throw HostError("单元格位置超出工作表");
    return Range(this, Rect{row, col, row, col});
}
Range Worksheet::Cells() { return Range(this, Rect{1, 1, kMaxRows, kMaxColumns}); }
Range Worksheet::Rows(int32_t row) {
    if (row < 1 || row > kMaxRows) throw HostError("行号超出工作表");
    return Range(this, Rect{row, 1, row, kMaxColumns});
}
Range Worksheet::Columns(int32_t col) {
    if (col < 1 || col > kMaxColumns) throw HostError("列号超出工作表");
    return Range(this, Rect{1, col, kMaxRows, col});
}
Range Worksheet::UsedRange() { return Range(this, UsedRect()); }

Rect Worksheet::UsedRect() const {
    int32_t top = 0, bottom = 0, left = 0, right = 0;
    auto addRow = [&](int32_t r) {
        if (!top || r < top) top = r;
        if (r > bottom) bottom = r;
    };
    auto addCol = [&](int32_t c) {
        if (!left || c < left) left = c;
        if (c > right) right = c;
    };
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        bool any = false;
        for (const Cell& c : row.cells) {
            if (c.IsBlank()) continue;
            addCol(c.col);
            any = true;
        }
        if (any || row.info.HasStyle()) addRow(int32_t(i) + 1);
    }
    // Formatting every column from some column to the sheet's last one (what
    // "select all" or "to the end" and a format writes) gives the rest of the
    // sheet a default format; it does not make those columns used. Columns
    // whose format is the last column's are taken to carry that default;
    // columns formatted otherwise count.
    const uint32_t sheetDefault = cols_.size() == size_t(kMaxColumns) ? cols_.back().style : 0;
    for (size_t i = 0; i < cols_.size(); ++i)
        if (cols_[i].style && cols_[i].style != sheetDefault) addCol(int32_t(i) + 1);
    if (!top && !left) return Rect{1, 1, 1, 1};
    if (!top) { top = 1; bottom = 1; }
    if (!left) { left = 1; right = 1; }
    return Rect{top, left, bottom, right};
}

Workbook& Worksheet::Copy() {
    Application* app = parent_->Parent();
    if (!app) throw HostError("工作簿不属于任何应用程序，不能复制到新工作簿");
    auto wb = std::make_unique<Workbook>(app, "工作簿" + std::to_string(app->NextNewWorkbookNumber()));
    Workbook& target = app->AdoptWorkbook(std::move(wb));
    Worksheet& copy = CopyTo(target, nullptr);
    copy.SetVisible(xlSheetVisible);
    target.SetActiveSheet(&copy);
    target.SetSaved(false);
    for (HostObserver* o : app->Observers()) o->WorkbookOpened(target);
    return target;
}

Worksheet& Worksheet::CopyTo(Workbook& target, Worksheet* after) {
    int pos = after ? after->Index() : -1;
    std::string name = name_;
    if (target.SheetByName(name)) {
        // The host appends " (2)", " (3)" … to the copy of a name already present.
        for (int n = 2;; ++n) {
            std::string suffix = " (" + std::to_string(n) + ")";
            std::string base = name_;
            while (Utf8Length(base + suffix) > 31) base.pop_back();
            if (!target.SheetByName(base + suffix)) { name = base + suffix; break; }
        }
    }
    bool codeTaken = false;
    for (const auto& ws : target.SheetList()) codeTaken |= ws->CodeName() == codeName_;
    Worksheet& copy = target.InsertSheet(pos, name, codeTaken ? target.NextCodeName() : codeName_);
    copy.visible_ = visible_;
    copy.protection_ = protection_;
    copy.scrollArea_ = scrollArea_;
    copy.activeCell_ = activeCell_;
    copy.selection_ = selection_;
    copy.rows_ = rows_;
    copy.cols_ = cols_;
    copy.merges_ = merges_;
    copy.pictures_ = pictures_;
    copy.pageSetup_ = pageSetup_;
    copy.defaultColWidth_ = defaultColWidth_;
    copy.defaultRowHeight_ = defaultRowHeight_;
    copy.geometry_.reset();
    copy.showGridLines_ = showGridLines_;
    copy.frozenRows_ = frozenRows_;
    copy.frozenCols_ = frozenCols_;
    copy.kept_ = kept_.CopyForNewSheet();
    if (&target != parent_) {
        // Conditional formats and tables of the copy name the source's
        // differential formats by position; a target without its own takes them.
        if (target.Kept().styles.empty()) target.Kept().styles = parent_->Kept().styles;
        // Formats are indices into the workbook's table: re-intern them in the target.
        RemapStyles styles(parent_->Styles(), target.Styles());
        for (Row& r : copy.rows_) {
            r.info.style = styles.Line(r.info.style);
            for (Cell& c : r.cells) c.style = styles.Cell(c.style);
        }
        for (ColumnInfo& c : copy.cols_) c.style = styles.Line(c.style);
    }
    copy.MarkChanged();
    return copy;
}

void Worksheet::Delete() {
    int visible = 0;
    for (const auto& ws : parent_->SheetList()) visible += ws->Visible() == xlSheetVisible;
    if (parent_->SheetCount() <= 1 || (visible_ == xlSheetVisible && visible <= 1))
        throw HostError("工作簿中至少要有一张可见的工作表");
    parent_->RemoveSheet(this);  // destroys *this
}

bool Worksheet::PrintOut(bool preview, const std::string& prToFileName) {
    PrintService* ps = parent_->Parent() ? parent_->Parent()->GetPrintService() : nullptr;
    if (!ps) throw HostError("没有可用的打印服务");
    // Pages are cut by the heights the content takes.
    FitRowHeights(*this, 1, int32_t(rows_.size()), RowFit::Automatic);
    if (Paginate(*this).pages.empty()) return false;
    ps->PrintOut(*this, PrintJob{preview, prToFileName});
    return true;
}

Picture& Worksheet::AddPicture(const std::string& file, double left, double top, double width, double height) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) throw FileError(file, "无法读取图片文件");
    // One read of the whole file: photos are read by the thousand.
    std::streamoff size = in.tellg();
    if (size < 0) throw FileError(file, "无法读取图片文件");
    auto bytes = std::make_shared<std::vector<uint8_t>>(size_t(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes->data()), size)) throw FileError(file, "无法读取图片文件");
    std::string ext = ImageExtension(*bytes);
    if (ext.empty()) throw FileError(file, "不是可识别的图片格式");
    const SheetGeometry& g = Geometry();
    Picture p;
    p.name = "图片 " + std::to_string(pictures_.size() + 1);
    p.data = std::move(bytes);
    p.extension = ext;
    p.from = g.AnchorAt(left, top);
    p.to = g.AnchorAt(left + width, top + height);
    p.widthEmu = std::llround(width * kEmuPerPoint);
    p.heightEmu = std::llround(height * kEmuPerPoint);
    Picture& added = pictures_.push_back(std::move(p));
    MarkChanged();
    return added;
}

Shape Shapes::AddPicture(const std::string& file, double left, double top, double width, double height) {
    return Shape(ws_, ws_.AddPicture(file, left, top, width, height));
}

int Shapes::Count() const { return int(ws_.Pictures().size()); }

Shape Shapes::Item(int index) const {
    if (index < 1 || size_t(index) > ws_.Pictures().size()) throw HostError("找不到指定的图形");
    return Shape(ws_, ws_.Pictures()[size_t(index) - 1]);
}

PictureList& PictureList::operator=(const PictureList& o) {
    if (this == &o) return *this;
    Storage copy;
    copy.reserve(o.items_.size());
    for (const auto& p : o.items_) copy.push_back(std::make_unique<Picture>(*p));
    items_ = std::move(copy);
    return *this;
}

PictureList& PictureList::operator=(std::initializer_list<Picture> pictures) {
    items_.clear();
    for (const Picture& p : pictures) push_back(p);
    return *this;
}

Picture& PictureList::push_back(Picture p) {
    items_.push_back(std::make_unique<Picture>(std::move(p)));
    return *items_.back();
}

void Shape::SetName(std::string name) {
    picture_->name = std::move(name);
    ws_->MarkChanged();
}

double Shape::Left() const {
    return ws_->Geometry().Left(picture_->from.col) + double(picture_->from.colOffset) / kEmuPerPoint;
}
double Shape::Top() const {
    return ws_->Geometry().Top(picture_->from.row) + double(picture_->from.rowOffset) / kEmuPerPoint;
}
double Shape::Width() const { return double(picture_->widthEmu) / kEmuPerPoint; }
double Shape::Height() const { return double(picture_->heightEmu) / kEmuPerPoint; }
void Shape::SetLeft(double points) { Place(points, Top(), Width(), Height()); }
void Shape::SetTop(double points) { Place(Left(), points, Width(), Height()); }
void Shape::SetWidth(double points) { Place(Left(), Top(), points, Height()); }
void Shape::SetHeight(double points) { Place(Left(), Top(), Width(), points); }

void Shape::Place(double left, double top, double width, double height) {
    if (width < 0 || height < 0) throw HostError("图形的宽度和高度不能为负数");
    const SheetGeometry& g = ws_->Geometry();
    picture_->from = g.AnchorAt(left, top);
    picture_->to = g.AnchorAt(left + width, top + height);
    picture_->widthEmu = std::llround(width * kEmuPerPoint);
    picture_->heightEmu = std::llround(height * kEmuPerPoint);
    ws_->MarkChanged();
}

const Row* Worksheet::FindRow(int32_t row) const {
    return row >= 1 && size_t(row) <= rows_.size() ? &rows_[row - 1] : nullptr;
}

Row& Worksheet::GetRow(int32_t row) {
    if (row < 1 || row > kMaxRows) throw HostError("行号超出工作表");
    if (size_t(row) > rows_.size()) rows_.resize(row);
    return rows_[row - 1];
}

const Cell* Worksheet::FindCell(int32_t row, int32_t col) const {
    const Row* r = FindRow(row);
    return r ? r->Find(col) : nullptr;
}

Cell& Worksheet::GetCell(int32_t row, int32_t col) {
    if (col < 1 || col > kMaxColumns) throw HostError("列号超出工作表");
    Row& r = GetRow(row);
    Cell* c = r.Find(col);
    if (c) return *c;
    Cell& created = r.Get(col);
    // A new cell takes the format its row or column carries.
    created.style = r.info.style ? r.info.style : (size_t(col) <= cols_.size() ? cols_[col - 1].style : 0);
    return created;
}

const Variant& Worksheet::ValueAt(int32_t row, int32_t col) const {
    const Cell* c = FindCell(row, col);
    return c ? c->value : kEmpty;
}

void Worksheet::SetValueAt(int32_t row, int32_t col, Variant v) {
    if (v.IsEmpty()) {
        Row* r = size_t(row) <= rows_.size() && row >= 1 ? &rows_[row - 1] : nullptr;
        Cell* c = r ? r->Find(col) : nullptr;
        if (!c) return;
        c->value = Variant();
        c->formula.reset();
        if (c->style == 0) {
            r->Erase(col);
            DropTrailingEmptyRows();
        }
    } else {
        Cell& c = GetCell(row, col);
        c.value = std::move(v);
        c.formula.reset();
    }
    MarkCellsChanged(Rect{row, col, row, col});
}

uint32_t Worksheet::StyleAt(int32_t row, int32_t col) const {
    const Row* r = FindRow(row);
    if (r) {
        if (const Cell* c = r->Find(col)) return c->style;
        if (r->info.style) return r->info.style;
    }
    const ColumnInfo* ci = FindColumn(col);
    return ci ? ci->style : 0;
}

void Worksheet::SetStyleAt(int32_t row, int32_t col, uint32_t style) {
    Cell& c = GetCell(row, col);
    c.style = style;
    if (c.IsBlank()) {
        // A blank cell in a row or column with a format keeps the "no format" as an explicit cell.
        const Row* r = FindRow(row);
        const ColumnInfo* ci = FindColumn(col);
        if (!(r && r->info.style) && !(ci && ci->style)) GetRow(row).Erase(col);
    }
    MarkChanged();
}

void Worksheet::EraseCell(int32_t row, int32_t col) {
    if (row >= 1 && size_t(row) <= rows_.size()) rows_[row - 1].Erase(col);
    DropTrailingEmptyRows();
    MarkChanged();
}

// A value written to the last row of the sheet and cleared again must not
// leave a million empty rows behind: every later look-up of the last used
// row would walk them.
void Worksheet::DropTrailingEmptyRows() {
    while (!rows_.empty() && rows_.back().cells.empty() && rows_.back().info.IsDefault()) rows_.pop_back();
}

const ColumnInfo* Worksheet::FindColumn(int32_t col) const {
    return col >= 1 && size_t(col) <= cols_.size() ? &cols_[col - 1] : nullptr;
}

ColumnInfo& Worksheet::GetColumn(int32_t col) {
    if (col < 1 || col > kMaxColumns) throw HostError("列号超出工作表");
    if (size_t(col) > cols_.size()) cols_.resize(col);
    return cols_[col - 1];
}

const Rect* Worksheet::MergeAreaAt(int32_t row, int32_t col) const { return merges_.At(row, col); }

double Worksheet::ColumnWidthChars(int32_t col) const {
    const ColumnInfo* c = FindColumn(col);
    if (c && c->width > 0) {
        // The file stores the width with the cell padding; the host reports it without.
        double px = std::trunc(c->width * Mdw() + 0.5);
        double chars = std::trunc((px - 5) / Mdw() * 100 + 0.5) / 100;
        return chars < 0 ? 0 : chars;
    }
    return defaultColWidth_;
}

void Worksheet::SetColumnWidthChars(int32_t col, double chars) {
    if (chars < 0 || chars > 255) throw HostError("列宽必须在 0 到 255 之间");
    ColumnInfo& c = GetColumn(col);
    if (chars == 0) {
        c.hidden = true;
    } else {
        c.width = std::trunc((chars * Mdw() + 5) / Mdw() * 256) / 256;
        c.customWidth = true;
        c.hidden = false;
    }
    ColumnSizeChanged(col);
    MarkChanged();
}

void Worksheet::SetColumnHidden(int32_t col, bool hidden) {
    GetColumn(col).hidden = hidden;
    ColumnSizeChanged(col);
    MarkChanged();
}

void Worksheet::SetDefaultColumnWidth(double chars) {
    defaultColWidth_ = chars;
    if (geometry_) geometry_->Columns().SetDefaultSize(DefaultColumnPoints());
}

void Worksheet::SetStandardHeight(double pt) {
    defaultRowHeight_ = pt;
    if (geometry_) geometry_->Rows().SetDefaultSize(pt);
}

double Worksheet::DefaultColumnPoints() const {
    double px = std::trunc(defaultColWidth_ * Mdw() + 5 + 0.5);
    px = std::ceil(px / 8) * 8;  // the host rounds the default width up to a multiple of 8 pixels
    return px * 0.75;
}

double Worksheet::ColumnWidthPoints(int32_t col) const {
    std::optional<double> own = OwnColumnSize(col);
    return own ? *own : DefaultColumnPoints();
}

std::optional<double> Worksheet::OwnColumnSize(int32_t col) const {
    const ColumnInfo* c = FindColumn(col);
    if (c && c->hidden) return 0.0;
    if (c && c->width > 0) return std::trunc(c->width * Mdw() + 0.5) * 0.75;
    return std::nullopt;
}

double Worksheet::RowHeightPoints(int32_t row) const {
    std::optional<double> own = OwnRowSize(row);
    return own ? *own : defaultRowHeight_;
}

std::optional<double> Worksheet::OwnRowSize(int32_t row) const {
    const Row* r = FindRow(row);
    if (r && r->info.hidden) return 0.0;
    if (r && r->info.height > 0) return r->info.height;
    return std::nullopt;
}

void Worksheet::SetRowHeightPoints(int32_t row, double pt) {
    RowInfo& info = GetRow(row).info;
    info.height = pt;
    info.customHeight = true;
    info.fitted = info.autoFitted = false;
    info.hidden = false;
    RowSizeChanged(row);
    MarkChanged();
}

void Worksheet::SetRowHidden(int32_t row, bool hidden) {
    GetRow(row).info.hidden = hidden;
    RowSizeChanged(row);
    MarkChanged();
}

void Worksheet::RowSizeChanged(int32_t row) {
    if (geometry_) geometry_->Rows().SetSize(row, OwnRowSize(row));
}

void Worksheet::ColumnSizeChanged(int32_t col) {
    if (geometry_) geometry_->Columns().SetSize(col, OwnColumnSize(col));
}

const SheetGeometry& Worksheet::Geometry() const {
    // Column widths are in digits of the Normal font: another font, other sizes.
    if (geometry_ && geometryDigitWidth_ != Mdw()) geometry_.reset();
    if (!geometry_) {
        geometryDigitWidth_ = Mdw();
        auto g = std::make_unique<SheetGeometry>();
        g->Rows().SetDefaultSize(defaultRowHeight_);
        g->Columns().SetDefaultSize(DefaultColumnPoints());
        std::vector<double> own;
        own.reserve(rows_.size());
        for (int32_t r = 1; r <= int32_t(rows_.size()); ++r) own.push_back(OwnRowSize(r).value_or(-1));
        g->Rows().Assign(own);
        own.clear();
        for (int32_t c = 1; c <= int32_t(cols_.size()); ++c) own.push_back(OwnColumnSize(c).value_or(-1));
        g->Columns().Assign(own);
        geometry_ = std::move(g);
    }
    return *geometry_;
}

void Worksheet::MarkChanged() {
    parent_->SetSaved(false);
    parent_->Recalculation().SheetChanged(*this);
}

void Worksheet::MarkCellsChanged(const Rect& cells) {
    parent_->SetSaved(false);
    parent_->Recalculation().CellsChanged(*this, cells);
}

double Worksheet::Mdw() const { return parent_->Styles().MaxDigitWidth(); }

double Worksheet::CharsForPixels(int pixels) const {
    if (pixels <= 5) return 0;
    return std::trunc((pixels - 5) / Mdw() * 100 + 0.5) / 100;
}

void Worksheet::FreezePanes(int32_t rows, int32_t cols) {
    if (rows < 0 || cols < 0 || rows >= kMaxRows || cols >= kMaxColumns) throw HostError("无法在此处冻结窗格");
    frozenRows_ = rows;
    frozenCols_ = cols;
    // The old panes' selections name panes that may no longer exist.
    std::erase_if(kept_.elements, [](const KeptElement& e) { return e.paneView; });
    kept_.selectionPane = rows && cols ? "bottomRight" : rows ? "bottomLeft" : cols ? "topRight" : "";
    MarkChanged();
}

}  // namespace host
