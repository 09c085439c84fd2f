#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "host/Style.h"
#include "host/xlsx/KeptPlaces.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {

// Built-in number formats that every reader maps to the same code. The
// date and time ids (14–22, 45–47) are left out: their codes depend on the
// reader's locale, so those formats are written as custom codes.
int BuiltinNumberFormat(const std::string& code) {
    static const std::unordered_map<std::string, int> ids = {
        {"General", 0}, {"0", 1}, {"0.00", 2}, {"#,##0", 3}, {"#,##0.00", 4}, {"0%", 9},
        {"0.00%", 10}, {"0.00E+00", 11}, {"# ?/?", 12}, {"# ?\?/?\?", 13}, {"@", 49}};
    auto it = ids.find(code);
    return it == ids.end() ? -1 : it->second;
}

void WriteColor(XmlBuffer& out, std::string_view element, const Color& c) {
    if (c.kind == Color::Kind::None) return;
    out.Raw("<").Raw(element);
    switch (c.kind) {
        case Color::Kind::Auto: out.Raw(" auto=\"1\""); break;
        case Color::Kind::Indexed: out.Attr("indexed", int64_t(c.value)); break;
        case Color::Kind::Theme: out.Attr("theme", int64_t(c.value)); break;
        case Color::Kind::Rgb: {
            char hex[9];
            std::snprintf(hex, sizeof hex, "%08X", c.value);
            out.Attr("rgb", hex);
            break;
        }
        case Color::Kind::None: break;
    }
    if (c.tint != 0) out.AttrNumber("tint", c.tint);
    out.Raw("/>");
}

void WriteFont(XmlBuffer& out, const Font& f) {
    out.Raw("<font>");
    if (f.bold) out.Raw("<b/>");
    if (f.italic) out.Raw("<i/>");
    if (f.strike) out.Raw("<strike/>");
    if (f.underline == "single") out.Raw("<u/>");
    else if (!f.underline.empty() && f.underline != "none") out.Raw("<u").Attr("val", f.underline).Raw("/>");
    out.Raw("<sz").AttrNumber("val", f.size).Raw("/>");
    WriteColor(out, "color", f.color);
    out.Raw("<name").Attr("val", f.name).Raw("/>");
    out.Raw("<charset").Attr("val", f.charset).Raw("/>");
    if (!f.scheme.empty()) out.Raw("<scheme").Attr("val", f.scheme).Raw("/>");
    out.Raw("</font>");
}

void WriteFill(XmlBuffer& out, const Fill& f) {
    const std::string& pattern = f.pattern.empty() ? std::string("none") : f.pattern;
    out.Raw("<fill><patternFill").Attr("patternType", pattern);
    if (f.fg.kind == Color::Kind::None && f.bg.kind == Color::Kind::None) {
        out.Raw("/></fill>");
        return;
    }
    out.Raw(">");
    WriteColor(out, "fgColor", f.fg);
    WriteColor(out, "bgColor", f.bg);
    out.Raw("</patternFill></fill>");
}

void WriteBorderLine(XmlBuffer& out, std::string_view element, const BorderLine& line) {
    out.Raw("<").Raw(element);
    if (line.IsNone()) {
        out.Raw("/>");
        return;
    }
    out.Attr("style", line.style).Raw(">");
    WriteColor(out, "color", line.color);
    out.Raw("</").Raw(element).Raw(">");
}

void WriteBorder(XmlBuffer& out, const Border& b) {
    out.Raw("<border");
    if (b.diagonalUp) out.Raw(" diagonalUp=\"1\"");
    if (b.diagonalDown) out.Raw(" diagonalDown=\"1\"");
    out.Raw(">");
    WriteBorderLine(out, "left", b.left);
    WriteBorderLine(out, "right", b.right);
    WriteBorderLine(out, "top", b.top);
    WriteBorderLine(out, "bottom", b.bottom);
    WriteBorderLine(out, "diagonal", b.diagonal);
    out.Raw("</border>");
}

void WriteAlignment(XmlBuffer& out, const Alignment& a) {
    out.Raw("<alignment");
    if (!a.horizontal.empty()) out.Attr("horizontal", a.horizontal);
    if (!a.vertical.empty()) out.Attr("vertical", a.vertical);
    if (a.textRotation) out.Attr("textRotation", a.textRotation);
    if (a.wrapText) out.Raw(" wrapText=\"1\"");
    if (a.indent) out.Attr("indent", a.indent);
    if (a.shrinkToFit) out.Raw(" shrinkToFit=\"1\"");
    out.Raw("/>");
}

void WriteProtection(XmlBuffer& out, const CellProtection& p) {
    out.Raw("<protection");
    if (!p.locked) out.Raw(" locked=\"0\"");
    if (p.hidden) out.Raw(" hidden=\"1\"");
    out.Raw("/>");
}

// Distinct elements of one kind, keyed by their own XML, in order of first use.
class ElementPool {
public:
    template <class WriteFn>
    size_t Add(WriteFn&& write) {
        XmlBuffer one;
        write(one);
        auto [it, added] = ids_.emplace(one.Str(), ids_.size());
        if (added) all_.Raw(one.Str());
        return it->second;
    }
    size_t Count() const { return ids_.size(); }
    const std::string& Xml() const { return all_.Str(); }

private:
    std::unordered_map<std::string, size_t> ids_;
    XmlBuffer all_;
};

struct XfIds {
    int numFmt;
    size_t font, fill, border;
};

class StylesBuilder {
public:
    StylesBuilder() {
        // Every reader expects these two fills first, whatever the cells use.
        fills_.Add([](XmlBuffer& o) { WriteFill(o, Fill{}); });
        fills_.Add([](XmlBuffer& o) { WriteFill(o, Fill{"gray125", {}, {}}); });
    }

    XfIds Add(const CellFormat& f) {
        XfIds ids;
        ids.numFmt = NumberFormatId(f.numberFormat);
        ids.font = fonts_.Add([&](XmlBuffer& o) { WriteFont(o, f.font); });
        ids.fill = fills_.Add([&](XmlBuffer& o) { WriteFill(o, f.fill); });
        ids.border = borders_.Add([&](XmlBuffer& o) { WriteBorder(o, f.border); });
        return ids;
    }

    void WriteAll(XmlBuffer& out, const std::string& cellXfs, const std::string& normalXf) const {
        if (!customFormats_.Str().empty())
            out.Raw("<numFmts").Attr("count", int64_t(customCount_)).Raw(">").Raw(customFormats_.Str()).Raw("</numFmts>");
        out.Raw("<fonts").Attr("count", int64_t(fonts_.Count())).Raw(">").Raw(fonts_.Xml()).Raw("</fonts>");
        out.Raw("<fills").Attr("count", int64_t(fills_.Count())).Raw(">").Raw(fills_.Xml()).Raw("</fills>");
        out.Raw("<borders").Attr("count", int64_t(borders_.Count())).Raw(">").Raw(borders_.Xml()).Raw("</borders>");
        out.Raw("<cellStyleXfs count=\"1\">").Raw(normalXf).Raw("</cellStyleXfs>");
        out.Raw(cellXfs);
    }

private:
    int NumberFormatId(const std::string& code) {
        int builtin = BuiltinNumberFormat(code.empty() ? "General" : code);
        if (builtin >= 0) return builtin;
        auto [it, added] = customIds_.emplace(code, 164 + int(customIds_.size()));
        if (added) {
            customFormats_.Raw("<numFmt").Attr("numFmtId", it->second).Attr("formatCode", code).Raw("/>");
            ++customCount_;
        }
        return it->second;
    }

    ElementPool fonts_, fills_, borders_;
    std::unordered_map<std::string, int> customIds_;
    XmlBuffer customFormats_;
    size_t customCount_ = 0;
};

// One <xf>: the ids, the apply flags of everything that differs from the
// defaults, and alignment/protection children when they are not the defaults.
void WriteXf(XmlBuffer& out, const CellFormat& f, const XfIds& ids, bool cellXf) {
    out.Raw("<xf").Attr("numFmtId", ids.numFmt).Attr("fontId", int64_t(ids.font))
        .Attr("fillId", int64_t(ids.fill)).Attr("borderId", int64_t(ids.border));
    if (cellXf) out.Raw(" xfId=\"0\"");
    bool align = !(f.alignment == Alignment{});
    bool protect = !(f.protection == CellProtection{});
    if (ids.numFmt != 0) out.Raw(" applyNumberFormat=\"1\"");
    if (ids.font != 0) out.Raw(" applyFont=\"1\"");
    if (ids.fill != 0) out.Raw(" applyFill=\"1\"");
    if (ids.border != 0) out.Raw(" applyBorder=\"1\"");
    if (align) out.Raw(" applyAlignment=\"1\"");
    if (protect) out.Raw(" applyProtection=\"1\"");
    if (!align && !protect) {
        out.Raw("/>");
        return;
    }
    out.Raw(">");
    if (align) WriteAlignment(out, f.alignment);
    if (protect) WriteProtection(out, f.protection);
    out.Raw("</xf>");
}

}  // namespace

void WriteStyles(const StyleTable& styles, const std::vector<KeptElement>& kept, XmlBuffer& out) {
    StylesBuilder builder;
    XmlBuffer cellXfs, normalXf;
    cellXfs.Raw("<cellXfs").Attr("count", int64_t(styles.Size())).Raw(">");
    for (size_t i = 0; i < styles.Size(); ++i) {
        const CellFormat& f = styles.Get(uint32_t(i));
        XfIds ids = builder.Add(f);
        if (i == 0) WriteXf(normalXf, f, ids, false);
        WriteXf(cellXfs, f, ids, true);
    }
    cellXfs.Raw("</cellXfs>");

    auto has = [&](int place) {
        return std::any_of(kept.begin(), kept.end(), [&](const KeptElement& e) { return e.place == place; });
    };
    out.Declaration().Raw("<styleSheet").Attr("xmlns", kMainNs);
    WriteKept(kept, place::kStylesRootAttributes, out);
    out.Raw(">");
    builder.WriteAll(out, cellXfs.Str(), normalXf.Str());
    out.Raw("<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>");
    // The differential formats of a read file stay in their order: conditional
    // formats and tables name them by position.
    if (has(place::kStylesDxfs)) WriteKept(kept, place::kStylesDxfs, out);
    else out.Raw("<dxfs count=\"0\"/>");
    if (has(place::kStylesTableStyles)) WriteKept(kept, place::kStylesTableStyles, out);
    else out.Raw("<tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" defaultPivotStyle=\"PivotStyleLight16\"/>");
    WriteKept(kept, place::kStylesColors, out);
    WriteKept(kept, place::kStylesExtLst, out);
    out.Raw("</styleSheet>");
}

}  // namespace host::xlsx
