// Cells from other spreadsheet programs' clipboard (their HTML table and
// tab-separated text) and our own copies read back by them.
#include <QFile>
#include <gtest/gtest.h>

#include "gui/ClipboardTable.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using gui::ClipPaste;
using gui::ClipTable;
using host::Rect;
using host::Variant;

namespace {

QString Fixture(const char* name) {
    QFile f(QString(TOLM_TEST_DATA "/clipboard/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(f.readAll());
}

struct Book {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    const host::CellFormat& FormatAt(int32_t r, int32_t c) const { return wb.Styles().Get(ws.StyleAt(r, c)); }
};

}  // namespace

TEST(ClipboardHtml, ExcelFragmentGivesSpansClassFormatsRawNumbersAndSizes) {
    const ClipTable t = gui::ParseClipboardHtml(Fixture("excel-fragment.html"));
    ASSERT_EQ(t.rows, 4);
    ASSERT_EQ(t.cols, 2);
    EXPECT_EQ(t.At(0, 0).text, "考场安排");
    EXPECT_EQ(t.At(0, 0).colSpan, 2);
    EXPECT_TRUE(t.At(0, 1).covered);
    EXPECT_TRUE(t.At(0, 0).format.font.bold);
    EXPECT_EQ(t.At(0, 0).format.font.name, "黑体");
    EXPECT_EQ(t.At(0, 0).format.alignment.horizontal, "center");
    EXPECT_EQ(t.At(0, 0).format.fill.fg.ToRgb(), 0xFFFF00u);
    EXPECT_EQ(t.At(0, 0).format.border.top.style, "thin");
    // The element rule for every td (Excel's Normal style) is not a format of the cell.
    EXPECT_FALSE(t.At(3, 0).styled);

    EXPECT_EQ(t.At(1, 0).text, "0001");
    EXPECT_EQ(t.At(1, 0).format.numberFormat, "@");
    EXPECT_TRUE(t.At(1, 0).format.border.top.IsNone()) << "the cell's own style overrides its class";
    ASSERT_TRUE(t.At(1, 1).number.has_value());
    EXPECT_DOUBLE_EQ(*t.At(1, 1).number, 1234.5);
    EXPECT_EQ(t.At(1, 1).format.font.color.ToRgb(), 0xFF0000u);
    EXPECT_EQ(t.At(1, 1).format.border.bottom.style, "medium");
    EXPECT_EQ(t.At(1, 1).format.numberFormat, "0\\.00_ ");
    EXPECT_FALSE(t.At(2, 1).number.has_value()) << "a bare x:num leaves the shown text to be read";
    EXPECT_EQ(t.At(2, 0).text, "第一行\n第二行");
    EXPECT_EQ(t.At(3, 0).text, "A&B <一>");

    EXPECT_DOUBLE_EQ(t.columnWidths[0], 54);
    EXPECT_DOUBLE_EQ(t.columnWidths[1], 108);
    EXPECT_DOUBLE_EQ(t.rowHeights[2], 28.5);
}

TEST(ClipboardHtml, LibreOfficeFragmentGivesInlineFontsAttributesAndRowSpans) {
    const ClipTable t = gui::ParseClipboardHtml(Fixture("libreoffice-fragment.html"));
    ASSERT_EQ(t.rows, 4);
    ASSERT_EQ(t.cols, 2);
    EXPECT_EQ(t.At(0, 0).text, "考场安排");
    EXPECT_EQ(t.At(0, 0).colSpan, 2);
    EXPECT_TRUE(t.At(0, 0).format.font.bold) << "<b> closes before </td>, its text is still bold";
    EXPECT_EQ(t.At(0, 0).format.font.name, "黑体");
    EXPECT_EQ(t.At(0, 0).format.alignment.vertical, "center");
    EXPECT_EQ(t.At(0, 0).format.fill.fg.ToRgb(), 0xFFFF00u);
    EXPECT_EQ(t.At(1, 0).format.numberFormat, "@");
    ASSERT_TRUE(t.At(1, 1).number.has_value());
    EXPECT_DOUBLE_EQ(*t.At(1, 1).number, 1234.5);
    EXPECT_EQ(t.At(1, 1).format.font.color.ToRgb(), 0xFF0000u);
    // 张三 spans two rows; 43 goes to the second column of the last row.
    EXPECT_EQ(t.At(2, 0).rowSpan, 2);
    EXPECT_TRUE(t.At(3, 0).covered);
    EXPECT_DOUBLE_EQ(*t.At(3, 1).number, 43);
    EXPECT_EQ(t.At(2, 0).format.border.left.style, "thin");
    EXPECT_DOUBLE_EQ(t.columnWidths[0], 85 * 0.75);
}

TEST(ClipboardHtml, NoTableGivesNothing) {
    EXPECT_TRUE(gui::ParseClipboardHtml("<p>只是一段文字</p>").Empty());
    EXPECT_TRUE(gui::ParseClipboardHtml("").Empty());
}

TEST(ClipboardText, TabsLinesAndQuotedFieldsAsExcelWritesThem) {
    const ClipTable t = gui::ParseClipboardText("考号\t姓名\r\n\"1\t2\"\t\"两\n行\"\r\n3\t\"say \"\"hi\"\"\"\r\n\t末\r\n");
    ASSERT_EQ(t.rows, 4);
    ASSERT_EQ(t.cols, 2);
    EXPECT_EQ(t.At(0, 1).text, "姓名");
    EXPECT_EQ(t.At(1, 0).text, "1\t2");
    EXPECT_EQ(t.At(1, 1).text, "两\n行");
    EXPECT_EQ(t.At(2, 1).text, "say \"hi\"");
    EXPECT_EQ(t.At(3, 0).text, "");
    EXPECT_EQ(t.At(3, 1).text, "末");
    // Without the final line break the last row is still there; one value is one cell.
    EXPECT_EQ(gui::ParseClipboardText("a\tb\nc").rows, 2);
    const ClipTable one = gui::ParseClipboardText("20250000002");
    EXPECT_EQ(one.rows, 1);
    EXPECT_EQ(one.cols, 1);
}

TEST(WriteClipTable, ValuesFormatsMergesAndWidthsLandAtTheTarget) {
    Book b;
    b.ws.SetValueAt(3, 3, Variant("旧"));
    b.ws.GetRange("C4:D4").Merge();
    const ClipTable t = gui::ParseClipboardHtml(Fixture("excel-fragment.html"));
    gui::WriteClipTable(b.ws, t, {2, 2});
    EXPECT_EQ(b.ws.ValueAt(2, 2), Variant("考场安排"));
    EXPECT_EQ(b.ws.MergedAreas(), (std::vector<Rect>{{2, 2, 2, 3}})) << "the old merge in the block is gone";
    EXPECT_EQ(b.ws.ValueAt(3, 2), Variant("0001")) << "a text-formatted cell keeps its leading zeros";
    EXPECT_EQ(b.FormatAt(3, 2).numberFormat, "@");
    EXPECT_EQ(b.ws.ValueAt(3, 3), Variant(1234.5));
    EXPECT_EQ(b.ws.ValueAt(4, 3), Variant(42.0)) << "shown text read as typed";
    EXPECT_EQ(b.ws.ValueAt(4, 2), Variant("第一行\n第二行"));
    EXPECT_EQ(b.ws.ValueAt(5, 3), Variant("=SUM(B2:B3)")) << "a pasted formula text is not a formula";
    EXPECT_FALSE(b.ws.FindCell(5, 3)->HasFormula());
    EXPECT_TRUE(b.FormatAt(2, 2).font.bold);
    EXPECT_FALSE(b.ws.FindCell(5, 2)->style) << "an unformatted source cell gets the default format";

    gui::WriteClipTable(b.ws, t, {2, 2}, ClipPaste::ColumnWidths);
    EXPECT_NEAR(b.ws.ColumnWidthPoints(2), 54, 0.8);
    EXPECT_NEAR(b.ws.ColumnWidthPoints(3), 108, 0.8);
}

TEST(WriteClipTable, ValuesOnlyKeepTheTargetsFormatsAndFormatsOnlyKeepItsValues) {
    Book b;
    b.ws.SetValueAt(1, 1, Variant("原值"));
    b.ws.GetRange("A1").Font().SetItalic(true);
    const ClipTable t = gui::ParseClipboardHtml(Fixture("wps-fragment.html"));
    gui::WriteClipTable(b.ws, t, {1, 1}, ClipPaste::Values);
    EXPECT_EQ(b.ws.ValueAt(1, 1), Variant("考号"));
    EXPECT_TRUE(b.FormatAt(1, 1).font.italic);
    EXPECT_FALSE(b.FormatAt(1, 1).font.bold);
    EXPECT_EQ(b.ws.ValueAt(2, 1), Variant("20250000002")) << "WPS marks it x:str";

    b.ws.SetValueAt(1, 1, Variant("保留"));
    gui::WriteClipTable(b.ws, t, {1, 1}, ClipPaste::Formats);
    EXPECT_EQ(b.ws.ValueAt(1, 1), Variant("保留"));
    EXPECT_TRUE(b.FormatAt(1, 1).font.bold);
    EXPECT_EQ(b.FormatAt(1, 1).fill.fg.ToRgb(), 0xC6E0B4u);
}

TEST(ClipboardOut, TextAndHtmlReadBackAsTheyWereCopied) {
    Book b;
    b.ws.SetValueAt(1, 1, Variant("考场"));
    b.ws.SetValueAt(1, 3, Variant(3.5));
    b.ws.SetValueAt(2, 1, Variant("带\t制表\n换行"));
    b.ws.SetValueAt(2, 2, Variant("0007"));
    b.ws.GetRange("B2").SetNumberFormat("@");
    b.ws.GetRange("A1:B1").Merge();
    b.ws.GetRange("A1").Font().SetBold(true);
    b.ws.GetRange("A1").Interior().SetColor(0x00FFFF);  // BGR: yellow
    b.ws.GetRange("C1").Borders(host::xlEdgeBottom).SetLineStyle(host::xlContinuous);
    b.ws.SetColumnWidthChars(3, 20);
    const Rect block{1, 1, 2, 3};

    const QString text = gui::ClipboardText(b.ws, block);
    EXPECT_EQ(text, "考场\t\t3.5\r\n\"带\t制表\n换行\"\t0007\t\r\n");
    const ClipTable fromText = gui::ParseClipboardText(text);
    EXPECT_EQ(fromText.At(1, 0).text, "带\t制表\n换行");

    const ClipTable t = gui::ParseClipboardHtml(gui::ClipboardHtml(b.ws, block));
    ASSERT_EQ(t.rows, 2);
    ASSERT_EQ(t.cols, 3);
    EXPECT_EQ(t.At(0, 0).colSpan, 2);
    EXPECT_TRUE(t.At(0, 0).format.font.bold);
    EXPECT_EQ(t.At(0, 0).format.fill.fg.ToRgb(), 0xFFFF00u);
    EXPECT_DOUBLE_EQ(*t.At(0, 2).number, 3.5);
    EXPECT_EQ(t.At(0, 2).format.border.bottom.style, "thin");
    EXPECT_EQ(t.At(1, 0).text, "带\t制表\n换行");
    EXPECT_EQ(t.At(1, 1).format.numberFormat, "@");
    EXPECT_NEAR(t.columnWidths[2], b.ws.ColumnWidthPoints(3), 0.01);

    // Pasted into another workbook, the block looks as it did.
    Book other;
    gui::WriteClipTable(other.ws, t, {1, 1});
    EXPECT_EQ(other.ws.ValueAt(2, 2), Variant("0007"));
    EXPECT_EQ(other.ws.MergedAreas(), (std::vector<Rect>{{1, 1, 1, 2}}));
    EXPECT_TRUE(other.FormatAt(1, 1).font.bold);
}
