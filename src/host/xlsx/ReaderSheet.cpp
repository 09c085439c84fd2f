#include "host/xlsx/ReaderSheet.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "host/Address.h"
#include "host/Formula.h"
#include "host/xlsx/KeptPlaces.h"
#include "host/xlsx/ReaderKept.h"
#include "host/xlsx/ReaderSink.h"
#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

constexpr double kPointsPerInch = 72;

// "B12" → (12, 2) with the sheet's bounds enforced; false for anything else.
bool ParseCellName(const char* s, int32_t& row, int32_t& col) {
    int32_t c = 0, r = 0;
    int letters = 0, digits = 0;
    for (; *s >= 'A' && *s <= 'Z'; ++s) {
        if (++letters > 3) return false;
        c = c * 26 + (*s - 'A' + 1);
    }
    for (; *s >= '0' && *s <= '9'; ++s) {
        if (++digits > 7) return false;
        r = r * 10 + (*s - '0');
    }
    if (*s || !letters || !digits || c > kMaxColumns || r < 1 || r > kMaxRows) return false;
    row = r;
    col = c;
    return true;
}

// A shared formula's master: the text and the cell it is written for.
struct SharedFormula {
    std::string text;
    int32_t row = 0, col = 0;
};

class SheetHandler : public XmlHandler {
public:
    SheetHandler(ZipSource& zip, const std::string& part, const SheetContext& ctx, SheetSink& sink)
        : zip_(zip), part_(part), ctx_(ctx), sink_(sink), partBytes_(zip.DeclaredSize(part)) {}

    std::string drawingId;
    KeptSheet kept;

    void Start(std::string_view name, const char** atts) override {
        ++depth_;
        if (keeping_) return keeping_->Start(QualifiedName(), atts);
        if (skip_) {
            ++skip_;
            return;
        }
        if (inSheetData_) return StartInData(name, atts);
        if (depth_ == 1) {
            kept.rootAttributes = RootAttributes(atts);
            return;
        }
        if (depth_ == 2 && StartTopLevel(name, atts)) return;
        if (depth_ == 3 && container_) return BeginCapture(atts, container_);
        if (name == "sheetData") {
            inSheetData_ = true;
        } else if (name == "sheetPr") {
            if (const char* v = FindAtt(atts, "codeName")) sink_.SetCodeName(v);
            Keep(place::kSheetPrAttributes, OtherAttributes(QualifiedName(), atts, {"codeName"}));
        } else if (name == "pageSetUpPr") {
            fitToPage_ = ParseBool(Att(atts, "fitToPage"), false);
            Keep(place::kPageSetUpPrAttributes, OtherAttributes(QualifiedName(), atts, {"fitToPage"}));
        } else if (depth_ == 3 && inSheetPr_) {
            BeginCapture(atts, nullptr, place::kSheetPrChildren);  // tabColor, outlinePr
        } else if (name == "dimension") {
            if (auto area = ParseArea(Att(atts, "ref")))
                // At least ~20 bytes of XML stand behind each row, which bounds a forged dimension.
                sink_.ExpectRows(int32_t(std::min<uint64_t>(uint64_t(area->bottom), partBytes_ / 20 + 1)));
        } else if (name == "sheetView") {
            ++sheetViews_;
            if (sheetViews_ == 1) {
                view_.showGridLines = ParseBool(Att(atts, "showGridLines"), true);
                view_.tabSelected = ParseBool(Att(atts, "tabSelected"), false);
                inSheetView_ = true;
                Keep(place::kSheetViewAttributes,
                     OtherAttributes(QualifiedName(), atts, {"showGridLines", "tabSelected", "workbookViewId"}));
            } else {
                BeginCapture(atts, nullptr, place::kSheetViewsMore);
            }
        } else if (name == "pane" && depth_ == 4) {
            activePane_ = Att(atts, "activePane");
            if (activePane_.empty()) activePane_ = "topLeft";
            kept.selectionPane = activePane_;
            // Frozen panes are the model's; a plain split is kept as it is.
            const std::string state = Att(atts, "state");
            if (state == "frozen" || state == "frozenSplit") {
                view_.frozenRows = int32_t(std::clamp<int64_t>(ParseInt(Att(atts, "ySplit")).value_or(0), 0, kMaxRows));
                view_.frozenColumns =
                    int32_t(std::clamp<int64_t>(ParseInt(Att(atts, "xSplit")).value_or(0), 0, kMaxColumns));
                skip_ = 1;
            } else {
                BeginCapture(atts, nullptr, place::kSheetViewChildren);
            }
        } else if (name == "selection" && depth_ == 4) {
            if (!Selection(atts)) BeginCapture(atts, nullptr, place::kSheetViewChildren);
        } else if (depth_ == 4 && inSheetView_) {
            BeginCapture(atts, nullptr, place::kSheetViewTail);  // pivotSelection, extLst
        } else if (name == "sheetFormatPr") {
            sink_.SetDefaultSizes(ParseDouble(Att(atts, "defaultColWidth")).value_or(0),
                                  ParseDouble(Att(atts, "defaultRowHeight")).value_or(0));
            Keep(place::kSheetFormatPrAttributes,
                 OtherAttributes(QualifiedName(), atts, {"defaultColWidth", "defaultRowHeight", "customHeight"}));
        } else if (name == "col") {
            Column(atts);
        } else if (name == "mergeCell") {
            Merge(Att(atts, "ref"));
        } else if (name == "sheetProtection") {
            Protection(atts);
        } else if (name == "printOptions") {
            setup_.CenterHorizontally = ParseBool(Att(atts, "horizontalCentered"), false);
            setup_.CenterVertically = ParseBool(Att(atts, "verticalCentered"), false);
            setup_.PrintGridlines = ParseBool(Att(atts, "gridLines"), false);
            setup_.PrintHeadings = ParseBool(Att(atts, "headings"), false);
        } else if (name == "rowBreaks" || name == "colBreaks") {
            breaks_ = name == "rowBreaks" ? &setup_.RowBreaks : &setup_.ColumnBreaks;
        } else if (name == "brk") {
            Break(atts);
        } else if (name == "pageMargins") {
            Margins(atts);
        } else if (name == "pageSetup") {
            Setup(atts);
            Keep(place::kPageSetupAttributes,
                 OtherAttributes(QualifiedName(), atts, {"paperSize", "orientation", "scale", "fitToWidth", "fitToHeight",
                                                        "firstPageNumber", "useFirstPageNumber", "pageOrder"}));
        } else if (name == "headerFooter") {
            setup_.OddAndEvenPagesHeaderFooter = ParseBool(Att(atts, "differentOddEven"), false);
            setup_.DifferentFirstPageHeaderFooter = ParseBool(Att(atts, "differentFirst"), false);
            setup_.ScaleWithDocHeaderFooter = ParseBool(Att(atts, "scaleWithDoc"), true);
            setup_.AlignMarginsHeaderFooter = ParseBool(Att(atts, "alignWithMargins"), true);
        } else if (name == "oddHeader" || name == "oddFooter" || name == "evenHeader" || name == "evenFooter" ||
                   name == "firstHeader" || name == "firstFooter") {
            capture_ = &headerFooterText_;
            headerFooterText_.clear();
        } else if (name == "drawing") {
            drawingId = Att(atts, "id");
        }
    }

    void End(std::string_view name) override {
        --depth_;
        if (keeping_) {
            keeping_->End(QualifiedName());
            if (keeping_->Depth() == 0) EndCapture();
            return;
        }
        if (skip_) {
            --skip_;
            return;
        }
        if (inSheetData_) return EndInData(name);
        if (depth_ == 1 && container_) {
            if (!container_->items.empty()) kept.elements.push_back(std::move(*container_));
            container_.reset();
            return;
        }
        if (depth_ == 1) inSheetPr_ = false;
        if (depth_ == 2 && name == "sheetView") inSheetView_ = false;
        if (name == "rowBreaks" || name == "colBreaks") {
            breaks_ = nullptr;
        } else if (name == "oddHeader") {
            SplitHeaderFooter(headerFooterText_, setup_.LeftHeader, setup_.CenterHeader, setup_.RightHeader);
            capture_ = nullptr;
        } else if (name == "oddFooter") {
            SplitHeaderFooter(headerFooterText_, setup_.LeftFooter, setup_.CenterFooter, setup_.RightFooter);
            capture_ = nullptr;
        } else if (name == "evenHeader" || name == "firstHeader") {
            host::HeaderFooterSections& h = name == "evenHeader" ? setup_.EvenPage : setup_.FirstPage;
            SplitHeaderFooter(headerFooterText_, h.LeftHeader, h.CenterHeader, h.RightHeader);
            capture_ = nullptr;
        } else if (name == "evenFooter" || name == "firstFooter") {
            host::HeaderFooterSections& h = name == "evenFooter" ? setup_.EvenPage : setup_.FirstPage;
            SplitHeaderFooter(headerFooterText_, h.LeftFooter, h.CenterFooter, h.RightFooter);
            capture_ = nullptr;
        } else if (name == "worksheet") {
            Finish();
        }
    }

    void Text(const char* s, int len) override {
        if (keeping_) return keeping_->Text(s, size_t(len));
        if (capture_ && !skip_) capture_->append(s, size_t(len));
    }

private:
    static const char* Att(const char** atts, std::string_view name) {
        const char* v = FindAtt(atts, name);
        return v ? v : "";
    }

    // ----- what the model does not hold -----

    // Elements the model reads; every other child of <worksheet> is kept.
    static bool IsModelled(std::string_view name) {
        static constexpr std::string_view kModelled[] = {
            "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetProtection",
            "mergeCells", "printOptions", "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "drawing"};
        return std::find(std::begin(kModelled), std::end(kModelled), name) != std::end(kModelled);
    }

    // Containers whose items each refer to cells: an item whose cells are all
    // deleted goes alone.
    static bool IsItemContainer(std::string_view name) {
        return name == "dataValidations" || name == "hyperlinks" || name == "protectedRanges" || name == "ignoredErrors";
    }

    // A child of <worksheet>: true when it is kept (and so taken care of).
    bool StartTopLevel(std::string_view name, const char** atts) {
        int known = place::InWorksheet(name);
        if (known >= 0) lastPlace_ = known;
        if (name == "sheetPr") inSheetPr_ = true;
        if (IsModelled(name)) return false;
        if (IsItemContainer(name)) {
            container_ = std::make_unique<KeptElement>();
            container_->place = lastPlace_;
            container_->counted = name == "dataValidations";
            KeptFragment attrs = OtherAttributes(QualifiedName(), atts, {"count"});
            container_->open = "<" + std::string(QualifiedName()) + attrs.Render();
            container_->close = "</" + std::string(QualifiedName()) + ">";
            return true;
        }
        BeginCapture(atts, nullptr, lastPlace_);
        if (name == "tableParts") captureUnique_ = true;
        return true;
    }

    // Starts keeping the element that begins here, as an item of `container`
    // or as an element of its own at `place`.
    void BeginCapture(const char** atts, std::unique_ptr<KeptElement>& container, int place = 0) {
        captureContainer_ = container.get();
        capturePlace_ = place;
        captureUnique_ = false;
        keeping_ = std::make_unique<FragmentBuilder>();
        keeping_->Start(QualifiedName(), atts);
    }
    void BeginCapture(const char** atts, std::nullptr_t, int place) {
        std::unique_ptr<KeptElement> none;
        BeginCapture(atts, none, place);
    }

    void EndCapture() {
        KeptFragment f = keeping_->Take();
        keeping_.reset();
        if (captureContainer_) {
            captureContainer_->items.push_back(std::move(f));
            captureContainer_ = nullptr;
            return;
        }
        KeptElement e;
        e.place = capturePlace_;
        e.uniqueInWorkbook = captureUnique_;
        e.paneView = capturePlace_ == place::kSheetViewChildren;
        e.items.push_back(std::move(f));
        kept.elements.push_back(std::move(e));
    }

    void Keep(int place, KeptFragment&& f) {
        if (f.Empty()) return;
        KeptElement e;
        e.place = place;
        e.items.push_back(std::move(f));
        kept.elements.push_back(std::move(e));
    }

    [[noreturn]] void BadRef(const std::string& what) const {
        zip_.Fail("单元格引用无效：" + what + "（" + part_ + "）");
    }

    // ----- sheet data -----

    void StartInData(std::string_view name, const char** atts) {
        if (name == "c") {
            StartCell(atts);
        } else if (name == "v") {
            if (inCell_) {
                hasValue_ = true;
                capture_ = &value_;
            }
        } else if (name == "f") {
            if (inCell_) StartFormula(atts);
        } else if (name == "is") {
            inInline_ = inCell_;
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t") {
            if (inInline_ && phonetic_ == 0) {
                hasValue_ = true;
                capture_ = &value_;
            }
        } else if (name == "row") {
            StartRowElement(atts);
        } else if (name == "extLst" || name == "AlternateContent") {
            skip_ = 1;
        }
    }

    void EndInData(std::string_view name) {
        if (name == "c") {
            if (inCell_) EndCell();
        } else if (name == "v" || name == "t" || name == "f") {
            capture_ = nullptr;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "sheetData") {
            inSheetData_ = false;
        }
    }

    void StartRowElement(const char** atts) {
        int32_t row = row_ + 1;
        if (const char* r = FindAtt(atts, "r")) {
            auto v = ParseInt(r);
            if (!v || *v < 1 || *v > kMaxRows) BadRef(std::string("第 ") + r + " 行");
            row = int32_t(*v);
        } else if (row > kMaxRows) {
            BadRef("第 " + std::to_string(row) + " 行（工作表最多 1048576 行）");
        }
        row_ = row;
        col_ = 0;
        RowInfo info;
        if (auto h = ParseDouble(Att(atts, "ht"))) info.height = *h;
        info.customHeight = ParseBool(Att(atts, "customHeight"), false);
        info.hidden = ParseBool(Att(atts, "hidden"), false);
        if (ParseBool(Att(atts, "customFormat"), false)) info.style = uint32_t(ParseInt(Att(atts, "s")).value_or(0));
        sink_.StartRow(row_, info);
    }

    void StartCell(const char** atts) {
        if (row_ == 0) {  // a cell before any <row>: row 1
            row_ = 1;
            sink_.StartRow(1, RowInfo{});
        }
        int32_t row = row_, col = col_ + 1;
        const char* type = nullptr;
        const char* style = nullptr;
        for (const char** a = atts; *a; a += 2) {
            std::string_view n = LocalName(a[0]);
            if (n == "r") {
                if (!ParseCellName(a[1], row, col)) BadRef(a[1]);
            } else if (n == "t") {
                type = a[1];
            } else if (n == "s") {
                style = a[1];
            }
        }
        if (col > kMaxColumns) BadRef(ColumnLetters(kMaxColumns) + "之后的列（工作表最多 16384 列）");
        row_ = row;  // a cell that names another row than its <row> wins
        col_ = col;
        inCell_ = true;
        hasValue_ = false;
        value_.clear();
        formula_.clear();
        formulaKind_ = FormulaKind::None;
        sharedIndex_ = -1;
        type_ = type ? type : "";
        xf_ = style ? uint32_t(std::strtoul(style, nullptr, 10)) : 0;
    }

    enum class FormulaKind { None, Normal, SharedMaster, SharedFollower, Ignored };

    void StartFormula(const char** atts) {
        std::string_view t = Att(atts, "t");
        formulaKind_ = FormulaKind::Normal;
        if (t == "shared") {
            if (auto si = ParseInt(Att(atts, "si"))) sharedIndex_ = *si;
            formulaKind_ = FindAtt(atts, "ref") ? FormulaKind::SharedMaster : FormulaKind::SharedFollower;
        } else if (t == "dataTable") {
            formulaKind_ = FormulaKind::Ignored;
        }
        capture_ = &formula_;
    }

    Variant CellValue() {
        std::string_view t = type_;
        if (t == "s") {
            if (!hasValue_ || value_.empty()) return {};
            auto i = ParseInt(value_);
            if (!i || *i < 0 || !ctx_.sharedStrings || size_t(*i) >= ctx_.sharedStrings->size())
                zip_.Fail("共享字符串索引无效：" + value_ + "（" + part_ + " 单元格 " + CellAddress(row_, col_) + "）");
            return Variant((*ctx_.sharedStrings)[size_t(*i)]);
        }
        if (!hasValue_) return {};
        if (t == "inlineStr" || t == "str") return Variant(DecodeEscapes(std::move(value_)));
        if (t == "b") return Variant::Boolean(ParseBool(value_, false));
        if (t == "e") {
            CellError e = CellError::Value;
            ErrorFromText(value_, e);
            return Variant::Error(e);
        }
        if (t == "d") {
            double serial = 0;
            if (IsoDateToSerial(value_, ctx_.date1904, serial)) return Variant(serial);
            return Variant(std::move(value_));
        }
        if (value_.empty()) return {};
        auto d = ParseDouble(value_);
        if (!d) zip_.Fail("数值无效：" + value_ + "（" + part_ + " 单元格 " + CellAddress(row_, col_) + "）");
        return Variant(*d);
    }

    void EndCell() {
        inCell_ = false;
        capture_ = nullptr;
        Variant v = CellValue();
        switch (formulaKind_) {
            case FormulaKind::None:
            case FormulaKind::Ignored:
                sink_.SetCell(row_, col_, xf_, std::move(v));
                return;
            case FormulaKind::SharedMaster:
                if (sharedIndex_ >= 0 && !formula_.empty()) shared_[sharedIndex_] = {formula_, row_, col_};
                break;
            case FormulaKind::SharedFollower:
                if (formula_.empty()) {
                    auto it = shared_.find(sharedIndex_);
                    if (it == shared_.end()) {  // a group without master: keep the value alone
                        sink_.SetCell(row_, col_, xf_, std::move(v));
                        return;
                    }
                    formula_ = formula::Translate(it->second.text, row_ - it->second.row, col_ - it->second.col);
                }
                break;
            case FormulaKind::Normal:
                break;
        }
        if (formula_.empty()) return sink_.SetCell(row_, col_, xf_, std::move(v));
        if (formula_.front() == '=') formula_.erase(formula_.begin());
        sink_.SetFormulaCell(row_, col_, xf_, std::move(formula_), std::move(v));
        formula_.clear();
    }

    // ----- everything around the data -----

    // The selection of the active pane is the model's (true); other panes'
    // selections are kept as they are.
    bool Selection(const char** atts) {
        const char* pane = FindAtt(atts, "pane");
        std::string_view p = pane ? pane : "topLeft";
        if (haveSelection_ || (!activePane_.empty() && p != activePane_)) return false;
        haveSelection_ = true;
        int32_t r = 1, c = 1;
        if (ParseCellName(Att(atts, "activeCell"), r, c)) view_.activeCell = {r, c};
        std::string sq = Att(atts, "sqref");
        std::replace(sq.begin(), sq.end(), ' ', ',');
        view_.selection = sq.empty() ? CellAddress(view_.activeCell.row, view_.activeCell.col) : sq;
        return true;
    }

    void Column(const char** atts) {
        auto first = ParseInt(Att(atts, "min"));
        auto last = ParseInt(Att(atts, "max"));
        if (!first || *first < 1 || *first > kMaxColumns) return;  // nothing sensible to apply
        int32_t lo = int32_t(*first);
        int32_t hi = int32_t(std::clamp<int64_t>(last.value_or(lo), lo, kMaxColumns));
        ColumnInfo info;
        info.width = ParseDouble(Att(atts, "width")).value_or(0);
        info.customWidth = ParseBool(Att(atts, "customWidth"), false);
        info.hidden = ParseBool(Att(atts, "hidden"), false);
        info.style = uint32_t(ParseInt(Att(atts, "style")).value_or(0));
        sink_.SetColumns(lo, hi, info);
    }

    void Merge(const char* ref) {
        auto area = ParseArea(ref);
        if (!area || area->bottom > kMaxRows || area->right > kMaxColumns) BadRef(ref);
        if (area->Count() > 1) sink_.AddMergedArea(*area);
    }

    void Protection(const char** atts) {
        SheetProtection p;
        for (const char** a = atts; *a; a += 2) {
            std::string_view n = LocalName(a[0]);
            if (n == "sheet") p.enabled = ParseBool(a[1], false);
            else if (n == "password") p.legacyHash = a[1];
            else if (n == "algorithmName") p.algorithmName = a[1];
            else if (n == "hashValue") p.hashValue = a[1];
            else if (n == "saltValue") p.saltValue = a[1];
            else if (n == "spinCount") p.spinCount = uint32_t(ParseInt(a[1]).value_or(0));
            else p.options.emplace_back(a[0], a[1]);
        }
        protection_ = std::move(p);
        hasProtection_ = true;
    }

    void Margins(const char** atts) {
        auto set = [&](const char* name, double& out) {
            if (auto d = ParseDouble(Att(atts, name))) out = *d * kPointsPerInch;
        };
        set("left", setup_.LeftMargin);
        set("right", setup_.RightMargin);
        set("top", setup_.TopMargin);
        set("bottom", setup_.BottomMargin);
        set("header", setup_.HeaderMargin);
        set("footer", setup_.FooterMargin);
    }

    void Setup(const char** atts) {
        setup_.hasSetup = true;
        setup_.PaperSize = int(ParseInt(Att(atts, "paperSize")).value_or(setup_.PaperSize));
        setup_.Orientation = std::string_view(Att(atts, "orientation")) == "landscape" ? 2 : 1;
        scale_ = int(std::clamp<int64_t>(ParseInt(Att(atts, "scale")).value_or(100), 10, 400));
        setup_.FitToPagesWide = int(ParseInt(Att(atts, "fitToWidth")).value_or(1));
        setup_.FitToPagesTall = int(ParseInt(Att(atts, "fitToHeight")).value_or(1));
        setup_.Order = std::string_view(Att(atts, "pageOrder")) == "overThenDown" ? xlOverThenDown : xlDownThenOver;
        if (ParseBool(Att(atts, "useFirstPageNumber"), false))
            setup_.FirstPageNumber = int(ParseInt(Att(atts, "firstPageNumber")).value_or(1));
    }

    // A manual break after row (column) `id`; automatic breaks a producer
    // stored are the pagination's business and are not kept.
    void Break(const char** atts) {
        if (!breaks_ || !ParseBool(Att(atts, "man"), false)) return;
        auto id = ParseInt(Att(atts, "id"));
        const int64_t limit = breaks_ == &setup_.RowBreaks ? kMaxRows : kMaxColumns;
        if (!id || *id < 1 || *id >= limit) return;
        auto it = std::lower_bound(breaks_->begin(), breaks_->end(), int32_t(*id));
        if (it == breaks_->end() || *it != *id) breaks_->insert(it, int32_t(*id));
    }

    void Finish() {
        setup_.Zoom = fitToPage_ ? 0 : scale_;
        sink_.SetPageSetup(std::move(setup_));
        sink_.SetView(view_);
        if (hasProtection_) sink_.SetProtection(std::move(protection_));
    }

    ZipSource& zip_;
    const std::string& part_;
    const SheetContext& ctx_;
    SheetSink& sink_;
    uint64_t partBytes_;

    int depth_ = 0;  // elements open, the root included
    int skip_ = 0;  // depth inside an element whose content is ignored
    // The element being kept (re-written as it is read) and where it goes.
    std::unique_ptr<FragmentBuilder> keeping_;
    KeptElement* captureContainer_ = nullptr;
    int capturePlace_ = 0;
    bool captureUnique_ = false;
    std::unique_ptr<KeptElement> container_;  // an item container being read
    int lastPlace_ = 0;
    bool inSheetPr_ = false, inSheetView_ = false;
    bool inSheetData_ = false;
    std::string* capture_ = nullptr;  // where character data goes, or nowhere

    int32_t row_ = 0, col_ = 0;  // the current cell; the next cell without "r" goes right of it
    bool inCell_ = false, inInline_ = false, hasValue_ = false;
    int phonetic_ = 0;
    std::string type_, value_, formula_;
    uint32_t xf_ = 0;
    FormulaKind formulaKind_ = FormulaKind::None;
    int64_t sharedIndex_ = -1;
    std::unordered_map<int64_t, SharedFormula> shared_;

    SheetView view_;
    int sheetViews_ = 0;
    std::string activePane_;
    bool haveSelection_ = false;
    PageSetup setup_;
    std::vector<int32_t>* breaks_ = nullptr;  // inside <rowBreaks> or <colBreaks>
    bool fitToPage_ = false;
    int scale_ = 100;
    SheetProtection protection_;
    bool hasProtection_ = false;
    std::string headerFooterText_;
};

}  // namespace

SheetExtras ReadSheet(ZipSource& zip, const std::string& part, const SheetContext& context, SheetSink& sink) {
    SheetHandler h(zip, part, context, sink);
    StreamXml(zip, part, h);
    return {std::move(h.drawingId), std::move(h.kept)};
}

void SplitHeaderFooter(const std::string& text, std::string& left, std::string& center, std::string& right) {
    left.clear();
    center.clear();
    right.clear();
    std::string* out = &center;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            char k = text[i + 1];
            if (k == 'L' || k == 'C' || k == 'R') {
                out = k == 'L' ? &left : k == 'C' ? &center : &right;
                ++i;
                continue;
            }
            *out += text[i];
            *out += text[++i];  // "&&", "&P" …: the pair stays together
            continue;
        }
        *out += text[i];
    }
}

namespace {
// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}
}  // namespace

bool IsoDateToSerial(const std::string& text, bool date1904, double& serial) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    double s = 0;
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%lf", &y, &mo, &d, &h, &mi, &s);
    if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31) {
        n = std::sscanf(text.c_str(), "%2d:%2d:%lf", &h, &mi, &s);  // a time alone
        if (n < 2) return false;
        serial = (h * 3600 + mi * 60 + s) / 86400.0;
        return true;
    }
    // Serial 0 is 1899-12-30 in the 1900 system (which counts a 29 February
    // 1900 that never was, so this holds from March 1900 on), 1904-01-01 otherwise.
    int64_t days = DaysFromCivil(y, unsigned(mo), unsigned(d)) - (date1904 ? DaysFromCivil(1904, 1, 1) : DaysFromCivil(1899, 12, 30));
    serial = double(days) + (h * 3600 + mi * 60 + s) / 86400.0;
    return true;
}

}  // namespace host::xlsx
