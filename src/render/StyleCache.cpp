#include "render/StyleCache.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace render {

namespace {

bool HasColor(const host::Color& c) { return c.kind != host::Color::Kind::None && c.kind != host::Color::Kind::Auto; }
QColor QtColor(const host::Color& c) { return QColor(QRgb(c.ToRgb())); }

Qt::PenStyle PenStyle(const std::string& style) {
    if (style == "dotted" || style == "hair") return Qt::DotLine;
    if (style.find("ashDotDot") != std::string::npos) return Qt::DashDotDotLine;
    if (style.find("ashDot") != std::string::npos) return Qt::DashDotLine;
    if (style.find("ashed") != std::string::npos) return Qt::DashLine;
    return Qt::SolidLine;
}

BorderPen ResolveLine(const host::BorderLine& line, int dotsPerInch) {
    BorderPen out;
    if (line.IsNone()) return out;
    out.present = true;
    // Multiplying first keeps the screen widths exact (0.75 pt × 96 / 72 = 1).
    const int width = std::max(1, int(std::lround(BorderWidthPoints(line.style) * dotsPerInch / 72.0)));
    out.pen = QPen(QtColor(line.color), width, PenStyle(line.style));
    out.pen.setCapStyle(Qt::FlatCap);
    return out;
}

std::unique_ptr<ResolvedStyle> Resolve(const host::CellFormat& f, int dotsPerInch) {
    auto r = std::make_unique<ResolvedStyle>();
    r->numberFormat = f.numberFormat;
    r->font = QtFont(f.font);
    if (HasColor(f.font.color)) r->textColor = QtColor(f.font.color);
    if (f.fill.pattern != "none" && !f.fill.pattern.empty()) {
        // Patterns are drawn as their foreground colour, solid.
        const host::Color& c = f.fill.pattern == "solid" ? f.fill.fg : (HasColor(f.fill.fg) ? f.fill.fg : f.fill.bg);
        if (HasColor(c)) r->fill = QtColor(c);
    }
    const host::Alignment& a = f.alignment;
    r->generalAlignment = a.horizontal.empty() || a.horizontal == "general";
    if (a.horizontal == "center" || a.horizontal == "centerContinuous" || a.horizontal == "distributed")
        r->horizontal = Qt::AlignHCenter;
    else if (a.horizontal == "right") r->horizontal = Qt::AlignRight;
    else if (a.horizontal == "justify") r->horizontal = Qt::AlignJustify;
    else r->horizontal = Qt::AlignLeft;
    if (a.vertical == "top") r->vertical = Qt::AlignTop;
    else if (a.vertical == "center" || a.vertical == "distributed" || a.vertical == "justify") r->vertical = Qt::AlignVCenter;
    else r->vertical = Qt::AlignBottom;
    r->wrap = a.wrapText;
    r->shrink = a.shrinkToFit && !a.wrapText;
    r->runsOn = !a.wrapText && !r->shrink && (r->generalAlignment || a.horizontal == "left");
    r->left = ResolveLine(f.border.left, dotsPerInch);
    r->right = ResolveLine(f.border.right, dotsPerInch);
    r->top = ResolveLine(f.border.top, dotsPerInch);
    r->bottom = ResolveLine(f.border.bottom, dotsPerInch);
    return r;
}

}  // namespace

Qt::Alignment ResolvedStyle::AlignmentFor(const host::Variant& value) const {
    Qt::Alignment h = horizontal;
    if (generalAlignment)
        h = value.IsNumber() ? Qt::AlignRight : (value.IsBoolean() || value.IsError()) ? Qt::AlignHCenter : Qt::AlignLeft;
    return h | vertical;
}

double BorderWidthPoints(const std::string& style) {
    if (style == "medium" || style == "mediumDashed" || style == "mediumDashDot" || style == "mediumDashDotDot")
        return 1.5;
    if (style == "thick" || style == "double") return 2.25;
    return 0.75;
}

namespace {
// The Chinese faces, whose substitutes are Chinese fonts already.
bool IsChineseFace(const QString& face) {
    // Qt keeps substitutes in lower case.
    for (const QString& s : QFont::substitutes(face)) {
        const QString f = s.toLower();
        if (f.contains(QLatin1String("cjk")) || f.contains(QLatin1String("han ")) || f.startsWith(QLatin1String("ar pl")) ||
            f.startsWith(QLatin1String("wenquanyi")))
            return true;
    }
    return false;
}
}  // namespace

void InstallFontSubstitutes() {
    static const bool installed = [] {
        const QStringList serif{"Noto Serif CJK SC", "Noto Serif CJK", "Source Han Serif SC", "AR PL UMing CN"};
        const QStringList sans{"Noto Sans CJK SC", "Noto Sans CJK", "Source Han Sans SC", "WenQuanYi Micro Hei"};
        for (const char* face : {"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "FangSong", "仿宋_GB2312", "楷体", "KaiTi"})
            QFont::insertSubstitutions(QString::fromUtf8(face), serif);
        for (const char* face : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "等线", "DengXian"})
            QFont::insertSubstitutions(QString::fromUtf8(face), sans);
        // Faces with the same widths as the host's Latin fonts, so that a
        // number fits a column exactly where it fits in the host (else it
        // shows "####").
        QFont::insertSubstitution(QStringLiteral("Calibri"), QStringLiteral("Carlito"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
        return true;
    }();
    (void)installed;
}

QFont QtFont(const host::Font& font) {
    const QString face = QString::fromStdString(font.name);
    QFont f(face);
    // Han characters in a Latin face (Calibri, Arial) come from the Chinese
    // Noto face, not from whichever CJK face the font system prefers (often
    // the Japanese one, whose glyph forms differ). The Chinese faces have
    // their substitutes already.
    if (!IsChineseFace(face)) f.setFamilies({face, QStringLiteral("Noto Sans CJK SC")});
    f.setPointSizeF(font.size > 0 ? font.size : 11);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(!font.underline.empty() && font.underline != "none");
    f.setStrikeOut(font.strike);
    return f;
}

StyleCache::StyleCache(const host::StyleTable& styles, int dotsPerInch) : styles_(styles), dotsPerInch_(dotsPerInch) {
    InstallFontSubstitutes();
}

const ResolvedStyle& StyleCache::Get(uint32_t styleIndex) {
    if (styleIndex >= styles_.Size()) styleIndex = 0;
    if (styleIndex >= resolved_.size()) resolved_.resize(styles_.Size());
    std::unique_ptr<ResolvedStyle>& slot = resolved_[styleIndex];
    if (!slot) slot = Resolve(styles_.Get(styleIndex), dotsPerInch_);
    return *slot;
}

}  // namespace render
