#pragma once
// Cell formats. A workbook keeps each distinct CellFormat once (StyleTable);
// cells, rows and columns refer to it by index, 0 being the default format.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace host {

struct Color {
    enum class Kind : uint8_t { None, Auto, Indexed, Rgb, Theme };
    Kind kind = Kind::None;
    uint32_t value = 0;  // indexed: file index (ColorIndex + 7); rgb: 0xAARRGGBB; theme: theme index
    double tint = 0;

    static Color FromColorIndex(int colorIndex);  // 1–56, the host palette
    static Color FromRgb(uint32_t rgb) { return {Kind::Rgb, 0xFF000000u | rgb, 0}; }
    // The host's ColorIndex of this colour: the palette entry, or the nearest
    // palette entry for RGB colours; -4142 (xlColorIndexNone) for none,
    // -4105 (xlColorIndexAutomatic) for automatic.
    int ColorIndex() const;
    uint32_t ToRgb() const;  // 0xRRGGBB, black for automatic/none
    friend bool operator==(const Color&, const Color&) = default;
};

// 0xRRGGBB of ColorIndex 1–56.
uint32_t PaletteRgb(int colorIndex);

struct Font {
    std::string name = "宋体";
    double size = 11;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    std::string underline;  // "", "single", "double", …
    Color color;
    int charset = 134;  // GB2312; written as the font's charset attribute
    std::string scheme;  // "", "minor", "major"
    friend bool operator==(const Font&, const Font&) = default;
};

struct Fill {
    std::string pattern = "none";  // "none", "solid", "gray125", …
    Color fg;
    Color bg;
    friend bool operator==(const Fill&, const Fill&) = default;
};

// Line styles as the file format names them: "", "thin", "medium", "thick",
// "double", "hair", "dashed", "dotted", "dashDot", "mediumDashed", …
struct BorderLine {
    std::string style;
    Color color;
    bool IsNone() const { return style.empty(); }
    friend bool operator==(const BorderLine&, const BorderLine&) = default;
};

struct Border {
    BorderLine left, right, top, bottom, diagonal;
    bool diagonalUp = false, diagonalDown = false;
    friend bool operator==(const Border&, const Border&) = default;
};

struct Alignment {
    std::string horizontal;  // "", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed"
    std::string vertical;    // "" (bottom), "top", "center", "justify", "distributed"
    bool wrapText = false;
    bool shrinkToFit = false;
    int indent = 0;
    int textRotation = 0;  // 0–180, or 255 for vertical text
    friend bool operator==(const Alignment&, const Alignment&) = default;
};

struct CellProtection {
    bool locked = true;
    bool hidden = false;
    friend bool operator==(const CellProtection&, const CellProtection&) = default;
};

struct CellFormat {
    std::string numberFormat = "General";
    Font font;
    Fill fill;
    Border border;
    Alignment alignment;
    CellProtection protection;
    friend bool operator==(const CellFormat&, const CellFormat&) = default;
};

// Interns formats; index 0 is always the workbook's default format.
class StyleTable {
public:
    StyleTable();
    explicit StyleTable(const CellFormat& defaultFormat);

    uint32_t Intern(const CellFormat& f);
    const CellFormat& Get(uint32_t index) const { return formats_[index < formats_.size() ? index : 0]; }
    const CellFormat& Default() const { return formats_[0]; }
    size_t Size() const { return formats_.size(); }
    // Replaces the default format (index 0), e.g. the Normal style of a file.
    void SetDefault(const CellFormat& f);
    // The widest digit of the default (Normal) font in pixels at 96 dpi: the
    // unit of column widths in characters.
    int MaxDigitWidth() const { return maxDigitWidth_; }

private:
    struct Hash {
        size_t operator()(const CellFormat& f) const;
    };
    std::vector<CellFormat> formats_;
    std::unordered_map<CellFormat, uint32_t, Hash> index_;
    int maxDigitWidth_ = 7;
};

// The widest digit of `font` in pixels at 96 dpi, as the host measures it
// for column widths: 8 for 宋体 11 and 12 (a column of 8.38 characters is
// 72 px in a zh-CN host), 7 for Calibri 11 and Arial 10 and for fonts whose
// digits are not known.
int MaxDigitWidthOf(const Font& font);

// Carries formats from one workbook's table into another's, interning each
// source format once (a format the target already has is not added again).
//   Cell(s): a cell's format; 0 is the source's default format, which keeps
//            its look in a workbook whose default differs.
//   Line(s): a row's or column's format; 0 means "no format of its own" there
//            and stays 0.
// An index past the source table reads as the source's default format, as
// StyleTable::Get does. Between the same table every index maps to itself.
class RemapStyles {
public:
    RemapStyles(const StyleTable& from, StyleTable& to) : from_(from), to_(to), same_(&from == &to) {}
    uint32_t Cell(uint32_t s);
    uint32_t Line(uint32_t s) { return s ? Cell(s) : 0; }

private:
    const StyleTable& from_;
    StyleTable& to_;
    bool same_;
    std::vector<int64_t> map_;  // by source index; −1 until interned
};

}  // namespace host
