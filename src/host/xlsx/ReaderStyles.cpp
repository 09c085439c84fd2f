#include "host/xlsx/ReaderStyles.h"

#include <pugixml.hpp>

#include <map>

#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

std::string BuiltinNumberFormat(int id) {
    static const std::map<int, std::string> codes = {
        {0, "General"},
        {1, "0"},
        {2, "0.00"},
        {3, "#,##0"},
        {4, "#,##0.00"},
        {5, "\"$\"#,##0_);(\"$\"#,##0)"},
        {6, "\"$\"#,##0_);[Red](\"$\"#,##0)"},
        {7, "\"$\"#,##0.00_);(\"$\"#,##0.00)"},
        {8, "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
        {9, "0%"},
        {10, "0.00%"},
        {11, "0.00E+00"},
        {12, "# ?/?"},
        {13, "# ?\?/??"},
        {14, "mm-dd-yy"},
        {15, "d-mmm-yy"},
        {16, "d-mmm"},
        {17, "mmm-yy"},
        {18, "h:mm AM/PM"},
        {19, "h:mm:ss AM/PM"},
        {20, "h:mm"},
        {21, "h:mm:ss"},
        {22, "m/d/yy h:mm"},
        {27, "yyyy\"年\"m\"月\""},
        {28, "m\"月\"d\"日\""},
        {29, "m\"月\"d\"日\""},
        {30, "m-d-yy"},
        {31, "yyyy\"年\"m\"月\"d\"日\""},
        {32, "h\"时\"mm\"分\""},
        {33, "h\"时\"mm\"分\"ss\"秒\""},
        {34, "上午/下午h\"时\"mm\"分\""},
        {35, "上午/下午h\"时\"mm\"分\"ss\"秒\""},
        {36, "yyyy\"年\"m\"月\""},
        {37, "#,##0 ;(#,##0)"},
        {38, "#,##0 ;[Red](#,##0)"},
        {39, "#,##0.00;(#,##0.00)"},
        {40, "#,##0.00;[Red](#,##0.00)"},
        {41, "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
        {42, "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
        {43, "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
        {44, "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
        {45, "mm:ss"},
        {46, "[h]:mm:ss"},
        {47, "mmss.0"},
        {48, "##0.0E+0"},
        {49, "@"},
    };
    auto it = codes.find(id);
    return it == codes.end() ? std::string() : it->second;
}

Color ReadColor(pugi::xml_node n) {
    Color c;
    if (!n) return c;
    if (ParseBool(AttText(n, "auto"), false)) {
        c.kind = Color::Kind::Auto;
    } else if (pugi::xml_attribute a = Att(n, "rgb")) {
        std::string hex = a.value();
        c.kind = Color::Kind::Rgb;
        c.value = uint32_t(std::strtoul(hex.c_str(), nullptr, 16));
        if (hex.size() <= 6) c.value |= 0xFF000000u;  // "RRGGBB" without alpha
    } else if (pugi::xml_attribute a = Att(n, "indexed")) {
        c.kind = Color::Kind::Indexed;
        c.value = a.as_uint();
    } else if (pugi::xml_attribute a = Att(n, "theme")) {
        c.kind = Color::Kind::Theme;
        c.value = a.as_uint();
    }
    if (pugi::xml_attribute t = Att(n, "tint")) c.tint = t.as_double();
    return c;
}

namespace {

// <b/> and <b val="1"/> are on, <b val="0"/> is off.
bool Flag(pugi::xml_node font, const char* name) {
    pugi::xml_node n = Child(font, name);
    return n && ParseBool(AttText(n, "val", "1"), true);
}

// A font that leaves out its face or size (openpyxl's Font(bold=True) writes
// only <b/>) is drawn in the workbook's first font, as the other programs do.
Font ReadFont(pugi::xml_node n, const Font& first) {
    Font f;
    f.name = first.name;
    f.size = first.size;
    if (pugi::xml_node x = Child(n, "name")) f.name = AttText(x, "val", f.name.c_str());
    if (pugi::xml_node x = Child(n, "sz"))
        if (auto d = ParseDouble(AttText(x, "val"))) f.size = *d;
    f.bold = Flag(n, "b");
    f.italic = Flag(n, "i");
    f.strike = Flag(n, "strike");
    if (pugi::xml_node u = Child(n, "u")) {
        f.underline = AttText(u, "val", "single");
        if (f.underline == "none") f.underline.clear();
    }
    f.color = ReadColor(Child(n, "color"));
    if (pugi::xml_node x = Child(n, "charset")) f.charset = Att(x, "val").as_int(f.charset);
    if (pugi::xml_node x = Child(n, "scheme")) f.scheme = AttText(x, "val");
    return f;
}

Fill ReadFill(pugi::xml_node n) {
    Fill f;
    if (pugi::xml_node p = Child(n, "patternFill")) {
        f.pattern = AttText(p, "patternType", "none");
        f.fg = ReadColor(Child(p, "fgColor"));
        f.bg = ReadColor(Child(p, "bgColor"));
    } else if (pugi::xml_node g = Child(n, "gradientFill")) {
        // Gradients are shown as the solid colour of their first stop.
        if (pugi::xml_node stop = Child(g, "stop")) {
            f.pattern = "solid";
            f.fg = ReadColor(Child(stop, "color"));
        }
    }
    return f;
}

BorderLine ReadLine(pugi::xml_node n) {
    BorderLine l;
    if (!n) return l;
    l.style = AttText(n, "style");
    if (l.style == "none") l.style.clear();
    l.color = ReadColor(Child(n, "color"));
    return l;
}

Border ReadBorder(pugi::xml_node n) {
    Border b;
    b.left = ReadLine(Child(n, "left") ? Child(n, "left") : Child(n, "start"));
    b.right = ReadLine(Child(n, "right") ? Child(n, "right") : Child(n, "end"));
    b.top = ReadLine(Child(n, "top"));
    b.bottom = ReadLine(Child(n, "bottom"));
    b.diagonal = ReadLine(Child(n, "diagonal"));
    b.diagonalUp = ParseBool(AttText(n, "diagonalUp"), false);
    b.diagonalDown = ParseBool(AttText(n, "diagonalDown"), false);
    return b;
}

Alignment ReadAlignment(pugi::xml_node n) {
    Alignment a;
    if (!n) return a;
    a.horizontal = AttText(n, "horizontal");
    if (a.horizontal == "general") a.horizontal.clear();
    a.vertical = AttText(n, "vertical");
    if (a.vertical == "bottom") a.vertical.clear();
    a.wrapText = ParseBool(AttText(n, "wrapText"), false);
    a.shrinkToFit = ParseBool(AttText(n, "shrinkToFit"), false);
    a.indent = Att(n, "indent").as_int(0);
    a.textRotation = Att(n, "textRotation").as_int(0);
    return a;
}

template <class T, class F>
std::vector<T> ReadList(pugi::xml_node parent, const char* item, F read) {
    std::vector<T> out;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && LocalName(n.name()) == item) out.push_back(read(n));
    return out;
}

template <class T>
const T& Pick(const std::vector<T>& list, pugi::xml_node xf, const char* idName, const T& fallback) {
    unsigned id = Att(xf, idName).as_uint(0);
    return id < list.size() ? list[id] : fallback;
}

}  // namespace

std::vector<CellFormat> ReadCellFormats(ZipSource& zip, const std::string& part) {
    pugi::xml_document doc;
    LoadXml(zip, part, doc);
    pugi::xml_node root = doc.document_element();

    std::map<int, std::string> custom;
    for (pugi::xml_node n = Child(root, "numFmts").first_child(); n; n = n.next_sibling())
        if (LocalName(n.name()) == "numFmt") custom[Att(n, "numFmtId").as_int(-1)] = AttText(n, "formatCode");
    std::vector<Font> fonts;
    for (pugi::xml_node n = Child(root, "fonts").first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && LocalName(n.name()) == "font")
            fonts.push_back(ReadFont(n, fonts.empty() ? Font() : fonts.front()));
    auto fills = ReadList<Fill>(Child(root, "fills"), "fill", ReadFill);
    auto borders = ReadList<Border>(Child(root, "borders"), "border", ReadBorder);

    const CellFormat base;
    std::vector<CellFormat> out;
    for (pugi::xml_node xf = Child(root, "cellXfs").first_child(); xf; xf = xf.next_sibling()) {
        if (LocalName(xf.name()) != "xf") continue;
        CellFormat f;
        int id = Att(xf, "numFmtId").as_int(0);
        auto c = custom.find(id);
        f.numberFormat = c != custom.end() ? c->second : BuiltinNumberFormat(id);
        if (f.numberFormat.empty()) f.numberFormat = base.numberFormat;
        f.font = Pick(fonts, xf, "fontId", base.font);
        f.fill = Pick(fills, xf, "fillId", base.fill);
        f.border = Pick(borders, xf, "borderId", base.border);
        f.alignment = ReadAlignment(Child(xf, "alignment"));
        if (pugi::xml_node p = Child(xf, "protection")) {
            f.protection.locked = ParseBool(AttText(p, "locked"), true);
            f.protection.hidden = ParseBool(AttText(p, "hidden"), false);
        }
        out.push_back(std::move(f));
    }
    return out;
}

}  // namespace host::xlsx
