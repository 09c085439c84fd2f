// Formats resolved once per style index into fonts, colours, alignment and
// border pens; decoded pictures kept per byte buffer.
#include <QBuffer>
#include <QFontInfo>
#include <QFontDatabase>

#include "RenderTestSupport.h"
#include "render/CellText.h"

using host::Variant;

namespace {

struct Table {
    host::StyleTable table;
    uint32_t Add(const std::function<void(host::CellFormat&)>& change) {
        host::CellFormat f = table.Default();
        change(f);
        return table.Intern(f);
    }
};

}  // namespace

TEST(StyleCache, ResolvesEachIndexOnceAndSharesTheResult) {
    rendertest::App();
    Table t;
    const uint32_t bold = t.Add([](host::CellFormat& f) { f.font.bold = true; });
    render::StyleCache cache(t.table);
    const render::ResolvedStyle& first = cache.Get(bold);
    EXPECT_EQ(&cache.Get(bold), &first);
    EXPECT_NE(&cache.Get(0), &first);
    EXPECT_TRUE(first.font.bold());
    // A format interned after the cache was made is resolved when asked for.
    const uint32_t italic = t.Add([](host::CellFormat& f) { f.font.italic = true; });
    EXPECT_TRUE(cache.Get(italic).font.italic());
    EXPECT_EQ(&cache.Get(bold), &first) << "growing keeps the earlier results";
    // An index the table does not have is the default format, as in the table.
    EXPECT_EQ(&cache.Get(9999), &cache.Get(0));
    // After Clear the default is resolved anew (e.g. after SetDefault).
    host::CellFormat big = t.table.Default();
    big.font.size = 20;
    t.table.SetDefault(big);
    EXPECT_DOUBLE_EQ(cache.Get(0).font.pointSizeF(), 11);
    cache.Clear();
    EXPECT_DOUBLE_EQ(cache.Get(0).font.pointSizeF(), 20);
}

TEST(StyleCache, MapsFontsColoursFillsAndAlignment) {
    rendertest::App();
    Table t;
    const uint32_t i = t.Add([](host::CellFormat& f) {
        f.numberFormat = "0.00";
        f.font.size = 14;
        f.font.underline = "single";
        f.font.strike = true;
        f.font.color = host::Color::FromColorIndex(3);
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFFFF00);
        f.alignment.horizontal = "center";
        f.alignment.vertical = "top";
        f.alignment.wrapText = true;
    });
    const uint32_t patterned = t.Add([](host::CellFormat& f) {
        f.fill.pattern = "gray125";
        f.fill.bg = host::Color::FromRgb(0x00FF00);
        f.alignment.horizontal = "left";
    });
    render::StyleCache cache(t.table);
    const render::ResolvedStyle& s = cache.Get(i);
    EXPECT_EQ(s.numberFormat, "0.00");
    EXPECT_DOUBLE_EQ(s.font.pointSizeF(), 14);
    EXPECT_TRUE(s.font.underline());
    EXPECT_TRUE(s.font.strikeOut());
    EXPECT_EQ(s.textColor, QColor(0xFF, 0, 0));
    EXPECT_EQ(s.fill, QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(s.AlignmentFor(Variant(1)), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_TRUE(s.wrap);
    EXPECT_FALSE(s.runsOn);
    // A pattern without a foreground colour shows its background colour.
    EXPECT_EQ(cache.Get(patterned).fill, QColor(0, 0xFF, 0));
    EXPECT_TRUE(cache.Get(patterned).runsOn);
    // The default format: automatic colour, no fill, general alignment.
    const render::ResolvedStyle& d = cache.Get(0);
    EXPECT_FALSE(d.textColor.isValid());
    EXPECT_FALSE(d.fill.isValid());
    EXPECT_TRUE(d.runsOn);
    EXPECT_EQ(d.AlignmentFor(Variant(7)), Qt::AlignRight | Qt::AlignBottom);
    EXPECT_EQ(d.AlignmentFor(Variant("文字")), Qt::AlignLeft | Qt::AlignBottom);
    EXPECT_EQ(d.AlignmentFor(Variant::Boolean(true)), Qt::AlignHCenter | Qt::AlignBottom);
    EXPECT_EQ(d.AlignmentFor(Variant::Error(host::CellError::NA)), Qt::AlignHCenter | Qt::AlignBottom);
}

TEST(StyleCache, BorderPensFollowTheLineStyleAndTheDeviceResolution) {
    rendertest::App();
    Table t;
    const uint32_t i = t.Add([](host::CellFormat& f) {
        f.border.left = {"thin", host::Color::FromRgb(0x112233)};
        f.border.right = {"medium", host::Color::FromRgb(0)};
        f.border.top = {"thick", host::Color::FromRgb(0)};
        f.border.bottom = {"dashed", host::Color::FromRgb(0)};
    });
    render::StyleCache screen(t.table);
    const render::ResolvedStyle& s = screen.Get(i);
    ASSERT_TRUE(s.left.present && s.right.present && s.top.present && s.bottom.present);
    EXPECT_EQ(s.left.pen.width(), 1);
    EXPECT_EQ(s.right.pen.width(), 2);
    EXPECT_EQ(s.top.pen.width(), 3);
    EXPECT_EQ(s.left.pen.color(), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(s.bottom.pen.style(), Qt::DashLine);
    EXPECT_EQ(s.left.pen.capStyle(), Qt::FlatCap);
    EXPECT_FALSE(screen.Get(0).left.present);
    // On a 600 dpi printer the same lines are as thick in points.
    render::StyleCache printer(t.table, 600);
    EXPECT_EQ(printer.Get(i).left.pen.width(), 6);
    EXPECT_EQ(printer.Get(i).top.pen.width(), 19);
}

TEST(StyleCache, WindowsChineseFacesAreDrawnInInstalledCjkFonts) {
    rendertest::App();
    if (!QFontDatabase::families().contains("Noto Serif CJK SC")) GTEST_SKIP() << "Noto Serif CJK SC not installed";
    host::Font song;
    song.name = "宋体";
    render::InstallFontSubstitutes();
    EXPECT_EQ(QFontInfo(render::QtFont(song)).family(), "Noto Serif CJK SC");
    song.name = "SimSun";
    EXPECT_EQ(QFontInfo(render::QtFont(song)).family(), "Noto Serif CJK SC");
}

TEST(PictureCache, DecodesEachBufferOnceAndForgetsUnusedOnes) {
    rendertest::App();
    QImage red(4, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");
    host::Picture a;
    a.data = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
    host::Picture copy = a;  // a copied picture shares its bytes
    host::Picture broken;
    broken.data = std::make_shared<const std::vector<uint8_t>>(std::vector<uint8_t>{1, 2, 3});
    render::PictureCache cache;
    const QImage& image = cache.Get(a);
    EXPECT_EQ(image.size(), QSize(4, 3));
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::red));
    EXPECT_EQ(&cache.Get(copy), &image);
    EXPECT_TRUE(cache.Get(broken).isNull());
    EXPECT_TRUE(cache.Get(host::Picture{}).isNull()) << "no bytes at all";
    EXPECT_EQ(cache.Size(), 2u);
    host::PictureList kept;
    kept = {copy};
    cache.Retain(kept);
    EXPECT_EQ(cache.Size(), 1u);
    EXPECT_EQ(cache.Get(a).size(), QSize(4, 3));
}

TEST(ShownText, LeavesOutTabsOnly) {
    EXPECT_EQ(render::ShownText(Variant("\t场号"), "General").toStdString(), "场号");
    EXPECT_EQ(render::ShownText(Variant(3.14159), "0.00").toStdString(), "3.14");
    EXPECT_EQ(render::CellText(Variant("\t场号"), "General").toStdString(), "\t场号");
}
