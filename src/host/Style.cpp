#include "host/Style.h"

#include <algorithm>
#include <cmath>

#include <climits>
#include <functional>

namespace host {

namespace {
constexpr uint32_t kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// Office theme colours (lt1 dk1 lt2 dk2 accent1–6) for colours given by theme.
constexpr uint32_t kTheme[10] = {0xFFFFFF, 0x000000, 0xE7E6E6, 0x44546A, 0x4472C4,
                                 0xED7D31, 0xA5A5A5, 0xFFC000, 0x5B9BD5, 0x70AD47};

void HashCombine(size_t& h, size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); }
size_t HashColor(const Color& c) {
    return (size_t(c.kind) << 40) ^ c.value ^ std::hash<double>()(c.tint);
}
}  // namespace

uint32_t PaletteRgb(int colorIndex) {
    if (colorIndex < 1 || colorIndex > 56) return 0;
    return kPalette[colorIndex - 1];
}

Color Color::FromColorIndex(int colorIndex) {
    if (colorIndex == -4142) return {};
    if (colorIndex == -4105 || colorIndex == 0) return {Kind::Auto, 0, 0};
    return {Kind::Indexed, uint32_t(colorIndex + 7), 0};
}

uint32_t Color::ToRgb() const {
    switch (kind) {
        case Kind::Indexed:
            if (value >= 8 && value <= 63) return kPalette[value - 8];
            if (value < 8) return kPalette[value];  // 0–7 repeat the first eight entries
            return 0;
        case Kind::Rgb: return value & 0xFFFFFF;
        case Kind::Theme: {
            uint32_t base = value < 10 ? kTheme[value] : 0;
            if (tint == 0) return base;
            auto adj = [&](uint32_t ch) {
                double c = double(ch);
                c = tint < 0 ? c * (1 + tint) : c + (255 - c) * tint;
                return uint32_t(c + 0.5) & 0xFF;
            };
            return adj(base >> 16) << 16 | adj((base >> 8) & 0xFF) << 8 | adj(base & 0xFF);
        }
        default: return 0;
    }
}

int Color::ColorIndex() const {
    if (kind == Kind::None) return -4142;
    if (kind == Kind::Auto) return -4105;
    if (kind == Kind::Indexed && value >= 8 && value <= 63) return int(value) - 7;
    uint32_t rgb = ToRgb();
    int best = 1;
    long bestD = LONG_MAX;
    for (int i = 0; i < 56; ++i) {
        long dr = long(rgb >> 16) - long(kPalette[i] >> 16);
        long dg = long((rgb >> 8) & 0xFF) - long((kPalette[i] >> 8) & 0xFF);
        long db = long(rgb & 0xFF) - long(kPalette[i] & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestD) { bestD = d; best = i + 1; }
    }
    return best;
}

size_t StyleTable::Hash::operator()(const CellFormat& f) const {
    size_t h = std::hash<std::string>()(f.numberFormat);
    HashCombine(h, std::hash<std::string>()(f.font.name));
    HashCombine(h, std::hash<double>()(f.font.size));
    HashCombine(h, size_t(f.font.bold) | size_t(f.font.italic) << 1 | size_t(f.font.strike) << 2);
    HashCombine(h, HashColor(f.font.color));
    HashCombine(h, std::hash<std::string>()(f.fill.pattern));
    HashCombine(h, HashColor(f.fill.fg));
    for (const BorderLine* b : {&f.border.left, &f.border.right, &f.border.top, &f.border.bottom})
        HashCombine(h, std::hash<std::string>()(b->style) ^ HashColor(b->color));
    HashCombine(h, std::hash<std::string>()(f.alignment.horizontal));
    HashCombine(h, std::hash<std::string>()(f.alignment.vertical));
    HashCombine(h, size_t(f.alignment.wrapText) | size_t(f.protection.locked) << 1 | size_t(f.protection.hidden) << 2);
    return h;
}

StyleTable::StyleTable() : StyleTable(CellFormat{}) {}

StyleTable::StyleTable(const CellFormat& defaultFormat) {
    formats_.push_back(defaultFormat);
    index_.emplace(defaultFormat, 0);
    maxDigitWidth_ = MaxDigitWidthOf(defaultFormat.font);
}

uint32_t StyleTable::Intern(const CellFormat& f) {
    auto it = index_.find(f);
    if (it != index_.end()) return it->second;
    uint32_t i = static_cast<uint32_t>(formats_.size());
    formats_.push_back(f);
    index_.emplace(f, i);
    return i;
}

void StyleTable::SetDefault(const CellFormat& f) {
    auto it = index_.find(formats_[0]);
    if (it != index_.end() && it->second == 0) index_.erase(it);
    formats_[0] = f;
    index_[f] = 0;
    maxDigitWidth_ = MaxDigitWidthOf(f.font);
}

int MaxDigitWidthOf(const Font& font) {
    static const char* const songTi[] = {"宋体", "SimSun", "新宋体", "NSimSun"};
    for (const char* name : songTi)
        if (font.name == name) {
            // Half-width digits of an em rounded to whole pixels: 11 and 12 pt give 8.
            const int em = int(std::lround(font.size * 96 / 72));
            return std::max(1, (em + 1) / 2);
        }
    return 7;
}

uint32_t RemapStyles::Cell(uint32_t s) {
    if (same_) return s;
    if (s >= from_.Size()) s = 0;
    if (map_.size() < from_.Size()) map_.resize(from_.Size(), -1);
    if (map_[s] < 0) map_[s] = to_.Intern(from_.Get(s));
    return uint32_t(map_[s]);
}

}  // namespace host
