// OpenDocument spreadsheets: content.xml of the package, read whole with
// pugixml. Element names are resolved through the namespaces the document
// declares, so a producer that chose other prefixes reads the same.
//
//   <table:table table:name="高一" table:style-name="ta1">
//     <table:table-column … table:number-columns-repeated="16384"/>
//     <table:table-row table:number-rows-repeated="2">
//       <table:table-cell office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell>
//       <table:table-cell table:number-columns-repeated="3"/>
//       <table:covered-table-cell/>                       (inside a merged area)
//
// Rows and cells may repeat (a trailing empty row often a million times);
// empty repeats only move the position, repeated values are written out up
// to the sheet's edge.
#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string_view>

#include "host/HostError.h"
#include "host/import/ImportParts.h"
#include "host/xlsx/ReaderZip.h"

namespace host::import {

namespace {

constexpr const char* kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char* kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr const char* kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr const char* kStyle = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr const char* kCalcExt = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";

// Qualified names under the prefixes this document declares.
struct Names {
    std::map<std::string, std::string> prefixOf;  // namespace URI → prefix
    explicit Names(pugi::xml_node root) {
        for (pugi::xml_attribute a : root.attributes()) {
            std::string_view n = a.name();
            if (n.starts_with("xmlns:")) prefixOf[a.value()] = std::string(n.substr(6));
        }
    }
    std::string Q(const char* ns, const char* local) const {
        auto it = prefixOf.find(ns);
        return (it == prefixOf.end() ? std::string() : it->second + ":") + local;
    }
};

// A cell budget far above any roster: repeated values cannot make the reader
// run for hours.
constexpr uint64_t kMaxCells = 50'000'000;

int64_t Repeat(pugi::xml_node n, const std::string& attr) {
    const long long v = n.attribute(attr.c_str()).as_llong(1);
    return v < 1 ? 1 : v;
}

// "PT08H30M00S" (a time value) in days.
bool DurationToDays(std::string_view text, double& days) {
    if (!text.starts_with("PT")) return false;
    double seconds = 0;
    std::string number;
    for (char c : text.substr(2)) {
        if ((c >= '0' && c <= '9') || c == '.') {
            number += c;
            continue;
        }
        const double v = std::strtod(number.c_str(), nullptr);
        number.clear();
        if (c == 'H') seconds += v * 3600;
        else if (c == 'M') seconds += v * 60;
        else if (c == 'S') seconds += v;
        else return false;
    }
    days = seconds / 86400;
    return true;
}

class OdsSheetReader {
public:
    OdsSheetReader(const Names& q, xlsx::SheetSink& sink, const std::string& path, uint64_t& cells)
        : sink_(sink), path_(path), cells_(cells) {
        rowTag_ = q.Q(kTable, "table-row");
        cellTag_ = q.Q(kTable, "table-cell");
        coveredTag_ = q.Q(kTable, "covered-table-cell");
        rowsRepeated_ = q.Q(kTable, "number-rows-repeated");
        colsRepeated_ = q.Q(kTable, "number-columns-repeated");
        colsSpanned_ = q.Q(kTable, "number-columns-spanned");
        rowsSpanned_ = q.Q(kTable, "number-rows-spanned");
        valueType_ = q.Q(kOffice, "value-type");
        calcValueType_ = q.Q(kCalcExt, "value-type");
        value_ = q.Q(kOffice, "value");
        dateValue_ = q.Q(kOffice, "date-value");
        timeValue_ = q.Q(kOffice, "time-value");
        booleanValue_ = q.Q(kOffice, "boolean-value");
        stringValue_ = q.Q(kOffice, "string-value");
        formula_ = q.Q(kTable, "formula");
        p_ = q.Q(kText, "p");
        s_ = q.Q(kText, "s");
        c_ = q.Q(kText, "c");
        tab_ = q.Q(kText, "tab");
        lineBreak_ = q.Q(kText, "line-break");
        group_[0] = q.Q(kTable, "table-header-rows");
        group_[1] = q.Q(kTable, "table-rows");
        group_[2] = q.Q(kTable, "table-row-group");
    }

    void Read(pugi::xml_node table) { Rows(table); }

private:
    struct Entry {
        int32_t col;
        uint32_t xf;
        Variant value;
        std::string formula;
    };

    void Rows(pugi::xml_node parent) {
        for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
            if (rowTag_ == n.name()) Row(n);
            else if (n.name() == group_[0] || n.name() == group_[1] || n.name() == group_[2]) Rows(n);
        }
    }

    void Row(pugi::xml_node row) {
        const int64_t repeat = Repeat(row, rowsRepeated_);
        std::vector<Entry> entries;
        int64_t col = 1;
        for (pugi::xml_node c = row.first_child(); c && col <= kMaxColumns; c = c.next_sibling()) {
            const bool covered = coveredTag_ == c.name();
            if (!covered && cellTag_ != c.name()) continue;
            const int64_t span = Repeat(c, colsRepeated_);
            if (!covered) {
                uint32_t xf = kGeneralXf;
                Variant value = Value(c, xf);
                Entry e{int32_t(col), xf, std::move(value), {}};
                if (const char* f = c.attribute(formula_.c_str()).value(); *f) e.formula = A1Formula(f);
                const int64_t across = Repeat(c, colsSpanned_), down = Repeat(c, rowsSpanned_);
                if ((across > 1 || down > 1) && row_ <= kMaxRows)
                    merges_.push_back(Rect{int32_t(row_), int32_t(col), int32_t(std::min<int64_t>(row_ + down - 1, kMaxRows)),
                                           int32_t(std::min<int64_t>(col + across - 1, kMaxColumns))});
                if (!e.value.IsEmpty() || !e.formula.empty())
                    for (int64_t k = 0; k < span && col + k <= kMaxColumns; ++k) {
                        Entry copy = e;
                        copy.col = int32_t(col + k);
                        entries.push_back(std::move(copy));
                    }
            }
            col += span;
        }
        if (entries.empty()) {
            row_ += repeat;
            return;
        }
        for (int64_t k = 0; k < repeat && row_ <= kMaxRows; ++k, ++row_) {
            cells_ += entries.size();
            if (cells_ > kMaxCells) throw FileError(path_, "文件中的单元格太多（超过 5000 万个），无法读取");
            sink_.StartRow(int32_t(row_), RowInfo{});
            for (const Entry& e : entries) {
                Variant v = e.value;
                if (e.formula.empty()) sink_.SetCell(int32_t(row_), e.col, e.xf, std::move(v));
                else sink_.SetFormulaCell(int32_t(row_), e.col, e.xf, std::string(e.formula), std::move(v));
            }
        }
    }

public:
    void Finish() {
        for (const Rect& r : merges_) sink_.AddMergedArea(r);
    }

private:
    Variant Value(pugi::xml_node c, uint32_t& xf) {
        xf = kGeneralXf;
        const std::string type = c.attribute(valueType_.c_str()).value();
        const std::string calcType = c.attribute(calcValueType_.c_str()).value();
        if (calcType == "error") {
            CellError e;
            if (ErrorFromText(Text(c), e)) return Variant::Error(e);
        }
        if (type == "float" || type == "currency" || type == "percentage") {
            if (type == "percentage") xf = kPercentXf;
            return Variant(c.attribute(value_.c_str()).as_double());
        }
        if (type == "date") {
            double serial = 0;
            if (DateTextToSerial(c.attribute(dateValue_.c_str()).value(), serial, xf)) return Variant(serial);
            return Text(c);
        }
        if (type == "time") {
            double days = 0;
            if (DurationToDays(c.attribute(timeValue_.c_str()).value(), days)) {
                xf = kTimeXf;
                return Variant(days);
            }
            return Text(c);
        }
        if (type == "boolean") return Variant::Boolean(std::string_view(c.attribute(booleanValue_.c_str()).value()) == "true");
        if (pugi::xml_attribute sv = c.attribute(stringValue_.c_str()); sv && *sv.value()) return Variant(sv.value());
        std::string text = Text(c);
        return text.empty() ? Variant() : Variant(std::move(text));
    }

    // The cell's paragraphs, one line each.
    std::string Text(pugi::xml_node c) const {
        std::string out;
        bool first = true;
        for (pugi::xml_node p = c.child(p_.c_str()); p; p = p.next_sibling(p_.c_str())) {
            if (!first) out += '\n';
            first = false;
            Inline(p, out);
        }
        return out;
    }

    void Inline(pugi::xml_node n, std::string& out) const {
        for (pugi::xml_node k = n.first_child(); k; k = k.next_sibling()) {
            if (k.type() == pugi::node_pcdata || k.type() == pugi::node_cdata) out += k.value();
            else if (s_ == k.name()) out.append(size_t(std::clamp<long long>(k.attribute(c_.c_str()).as_llong(1), 1, 1000)), ' ');
            else if (tab_ == k.name()) out += '\t';
            else if (lineBreak_ == k.name()) out += '\n';
            else if (k.type() == pugi::node_element && std::string_view(k.name()).find("annotation") == std::string_view::npos)
                Inline(k, out);
        }
    }

    // OpenFormula "of:=SUM([.A1:.B2];[$高二.C3])" as the host writes it,
    // "SUM(A1:B2,'高二'!C3)"; empty when the formula uses anything else, and
    // the cell then keeps its value alone.
    static std::string A1Formula(std::string_view f) {
        if (f.starts_with("of:")) f.remove_prefix(3);
        if (!f.starts_with("=")) return {};
        f.remove_prefix(1);
        std::string out;
        for (size_t i = 0; i < f.size(); ++i) {
            const char ch = f[i];
            if (ch == '"') {
                const size_t end = f.find('"', i + 1);
                if (end == std::string_view::npos) return {};
                out.append(f.substr(i, end - i + 1));
                i = end;
            } else if (ch == '[') {
                const size_t end = f.find(']', i);
                if (end == std::string_view::npos) return {};
                std::string ref = Reference(f.substr(i + 1, end - i - 1));
                if (ref.empty()) return {};
                out += ref;
                i = end;
            } else if (ch == ';') {
                out += ',';
            } else if (ch == '\'' || ch == '#') {
                return {};
            } else {
                out += ch;
            }
        }
        return out;
    }

    // ".A1", "$Sheet.$A$1", ".A1:.B2", "'高 二'.A1" → A1 form.
    static std::string Reference(std::string_view ref) {
        std::string out;
        bool firstPart = true;
        while (!ref.empty()) {
            const size_t colon = ref.find(':');
            std::string_view part = ref.substr(0, colon);
            ref = colon == std::string_view::npos ? std::string_view() : ref.substr(colon + 1);
            const size_t dot = part.rfind('.');
            if (dot == std::string_view::npos) return {};
            std::string_view sheet = part.substr(0, dot), cell = part.substr(dot + 1);
            if (sheet.starts_with("$")) sheet.remove_prefix(1);
            if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') sheet = sheet.substr(1, sheet.size() - 2);
            if (cell.empty() || cell.find_first_not_of("$ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") != std::string_view::npos)
                return {};
            if (!firstPart) out += ':';
            if (!sheet.empty() && firstPart) {
                if (sheet.find('\'') != std::string_view::npos) return {};
                out += "'" + std::string(sheet) + "'!";
            }
            out += cell;
            firstPart = false;
        }
        return out;
    }

    xlsx::SheetSink& sink_;
    const std::string& path_;
    uint64_t& cells_;
    int64_t row_ = 1;
    std::vector<Rect> merges_;
    std::string rowTag_, cellTag_, coveredTag_, rowsRepeated_, colsRepeated_, colsSpanned_, rowsSpanned_, valueType_,
        calcValueType_, value_, dateValue_, timeValue_, booleanValue_, stringValue_, formula_, p_, s_, c_, tab_,
        lineBreak_;
    std::string group_[3];
};

}  // namespace

void ReadOds(const std::string& bytes, const std::string& path, xlsx::WorkbookSink& sink) {
    xlsx::ZipSource zip(bytes.data(), bytes.size(), path, xlsx::ReadLimits{});
    if (!zip.Has("content.xml")) throw FileError(path, "不是有效的 OpenDocument 电子表格（缺少 content.xml）");
    const std::string content = zip.ReadAll("content.xml");
    pugi::xml_document doc;
    if (!doc.load_buffer(content.data(), content.size(), pugi::parse_default | pugi::parse_ws_pcdata_single))
        throw FileError(path, "不是有效的 OpenDocument 电子表格（content.xml 无法解析）");
    const pugi::xml_node root = doc.document_element();
    const Names q(root);

    // Tables hidden through their automatic style.
    std::map<std::string, bool> hiddenStyle;
    // (Names held in variables: a range keeps the pointer it was given.)
    const std::string styleName = q.Q(kStyle, "name"), display = q.Q(kTable, "display");
    const std::string styleTag = q.Q(kStyle, "style"), propertiesTag = q.Q(kStyle, "table-properties");
    for (pugi::xml_node s : root.child(q.Q(kOffice, "automatic-styles").c_str()).children(styleTag.c_str()))
        for (pugi::xml_node p : s.children(propertiesTag.c_str()))
            if (std::string_view(p.attribute(display.c_str()).value()) == "false") hiddenStyle[s.attribute(styleName.c_str()).value()] = true;

    const pugi::xml_node spreadsheet = root.child(q.Q(kOffice, "body").c_str()).child(q.Q(kOffice, "spreadsheet").c_str());
    if (!spreadsheet) throw FileError(path, "不是 OpenDocument 电子表格（可能是文字文档或演示文稿）");
    DeclareFormats(sink);
    uint64_t cells = 0;
    const std::string tableTag = q.Q(kTable, "table"), tableName = q.Q(kTable, "name"), tableStyle = q.Q(kTable, "style-name");
    for (pugi::xml_node t : spreadsheet.children(tableTag.c_str())) {
        const bool hidden = hiddenStyle.count(t.attribute(tableStyle.c_str()).value()) != 0;
        xlsx::SheetSink& sheet = sink.AddSheet(SheetNameFrom(t.attribute(tableName.c_str()).value()), hidden ? xlSheetHidden : xlSheetVisible);
        OdsSheetReader reader(q, sheet, path, cells);
        reader.Read(t);
        reader.Finish();
    }
    sink.SetActiveSheet(0);
    sink.Finish();
}

}  // namespace host::import
