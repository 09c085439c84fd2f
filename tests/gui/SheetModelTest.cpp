// The grid's model over a worksheet: checked by QAbstractItemModelTester,
// its roles against the cell formats, typed entry through the host's rules
// and sheet protection, the scroll area, and a large sheet read lazily.
#include <QAbstractItemModelTester>
#include <QColor>
#include <QFont>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "host/Application.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using host::Variant;

namespace {

struct Sheet {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    uint32_t Style(const std::function<void(host::CellFormat&)>& change) {
        host::CellFormat f = wb.Styles().Default();
        change(f);
        return wb.Styles().Intern(f);
    }
};

QModelIndex At(const gui::SheetModel& m, const char* a1) {
    const host::CellRef c = *host::ParseCellRef(a1);
    return m.index(c.row - 1, c.col - 1);
}

}  // namespace

TEST(SheetModel, PassesTheItemModelTesterThroughEditsGrowthAndRefresh) {
    guitest::App();
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant("姓名"));
    s.ws.SetValueAt(3, 2, Variant(12.5));
    s.ws.MergedAreas().push_back({5, 1, 6, 3});
    gui::SheetModel model(s.ws);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 6 + gui::SheetModel::kMarginRows) << "merged areas count as used";
    EXPECT_EQ(model.columnCount(), 3 + gui::SheetModel::kMarginColumns);
    // Typing past the margin grows the model by inserted rows and columns.
    ASSERT_TRUE(model.setData(model.index(model.rowCount() - 1, model.columnCount() - 1), "末"));
    EXPECT_EQ(model.rowCount(), 106 + gui::SheetModel::kMarginRows);
    EXPECT_EQ(model.columnCount(), 23 + gui::SheetModel::kMarginColumns);
    s.ws.SetValueAt(400, 1, Variant(1));
    model.Refresh();
    EXPECT_EQ(model.rowCount(), 400 + gui::SheetModel::kMarginRows);
    EXPECT_EQ(model.headerData(27, Qt::Horizontal).toString(), "AB");
    EXPECT_EQ(model.headerData(9, Qt::Vertical).toInt(), 10);
}

TEST(SheetModel, RolesFollowTheCellFormat) {
    guitest::App();
    Sheet s;
    s.ws.SetValueAt(1, 1, Variant(3.14159));
    s.ws.SetStyleAt(1, 1, s.Style([](host::CellFormat& f) {
        f.numberFormat = "0.00";
        f.font.name = "宋体";
        f.font.size = 14;
        f.font.bold = true;
        f.font.color = host::Color::FromColorIndex(3);
        f.fill.pattern = "solid";
        f.fill.fg = host::Color::FromRgb(0xFFFF00);
        f.alignment.horizontal = "center";
        f.alignment.vertical = "top";
        f.alignment.wrapText = true;
    }));
    s.ws.SetValueAt(2, 1, Variant(7));
    s.ws.SetValueAt(2, 2, Variant("文字"));
    s.ws.SetValueAt(2, 3, Variant::Boolean(false));
    s.ws.SetValueAt(3, 1, Variant(45658));
    s.ws.SetStyleAt(3, 1, s.Style([](host::CellFormat& f) { f.numberFormat = "yyyy/m/d"; }));
    s.ws.GetCell(4, 1).formula = std::make_unique<std::string>("SUM(A1:A2)");
    gui::SheetModel m(s.ws);

    const QModelIndex a1 = At(m, "A1");
    EXPECT_EQ(a1.data().toString(), "3.14");
    EXPECT_EQ(a1.data(Qt::EditRole).toString(), "3.14159");
    const QFont font = a1.data(Qt::FontRole).value<QFont>();
    EXPECT_EQ(font.family(), "宋体");
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(a1.data(Qt::ForegroundRole).value<QColor>(), QColor(0xFF, 0, 0));
    EXPECT_EQ(a1.data(Qt::BackgroundRole).value<QColor>(), QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(Qt::Alignment(a1.data(Qt::TextAlignmentRole).toInt()), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_TRUE(a1.data(gui::SheetModel::WrapRole).toBool());

    // General alignment: numbers right, text left, booleans centred, all at the bottom.
    EXPECT_EQ(Qt::Alignment(At(m, "A2").data(Qt::TextAlignmentRole).toInt()), Qt::AlignRight | Qt::AlignBottom);
    EXPECT_EQ(Qt::Alignment(At(m, "B2").data(Qt::TextAlignmentRole).toInt()), Qt::AlignLeft | Qt::AlignBottom);
    EXPECT_EQ(Qt::Alignment(At(m, "C2").data(Qt::TextAlignmentRole).toInt()), Qt::AlignHCenter | Qt::AlignBottom);
    EXPECT_FALSE(At(m, "B2").data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(At(m, "C2").data().toString(), "FALSE");
    // Dates are edited as shown; formulas are edited as formulas.
    EXPECT_EQ(At(m, "A3").data(Qt::EditRole).toString(), "2025/1/1");
    EXPECT_EQ(At(m, "A4").data(Qt::EditRole).toString(), "=SUM(A1:A2)");
    EXPECT_FALSE(At(m, "Z99").data().isValid());
}

TEST(SheetModel, TypedEntriesFollowTheHostAndProtectedCellsRefuse) {
    guitest::App();
    Sheet s;
    const uint32_t text = s.Style([](host::CellFormat& f) { f.numberFormat = "@"; });
    const uint32_t unlocked = s.Style([](host::CellFormat& f) { f.protection.locked = false; });
    s.ws.SetStyleAt(1, 2, text);
    s.ws.SetStyleAt(2, 1, unlocked);
    gui::SheetModel m(s.ws);
    QSignalSpy refused(&m, &gui::SheetModel::EditRefused);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);

    const struct {
        const char* cell;
        const char* typed;
        Variant stored;
    } entries[] = {
        {"A1", "12", Variant(12)},
        {"A1", "'12", Variant("12")},
        {"B1", "0012", Variant("0012")},
        {"A3", "TRUE", Variant::Boolean(true)},
        {"A4", "1班", Variant("1班")},
    };
    for (const auto& e : entries) {
        ASSERT_TRUE(m.setData(At(m, e.cell), e.typed)) << e.cell << e.typed;
        const host::CellRef c = *host::ParseCellRef(e.cell);
        EXPECT_EQ(s.ws.ValueAt(c.row, c.col), e.stored) << e.cell << " " << e.typed;
    }
    EXPECT_EQ(changed.count(), 5);
    ASSERT_TRUE(m.setData(At(m, "A5"), "=A1*2"));
    ASSERT_NE(s.ws.FindCell(5, 1), nullptr);
    EXPECT_EQ(*s.ws.FindCell(5, 1)->formula, "A1*2");
    EXPECT_EQ(refused.count(), 0);

    s.ws.Protect("pw");
    s.wb.SetSaved(true);
    EXPECT_FALSE(m.setData(At(m, "A1"), "99"));
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused[0][0].toString(), "单元格或图表受保护，不能修改。");
    EXPECT_EQ(s.ws.ValueAt(1, 1), Variant("12"));
    EXPECT_TRUE(s.wb.Saved()) << "a refused entry changes nothing";
    EXPECT_TRUE(m.setData(At(m, "A2"), "5")) << "unlocked cell of a protected sheet";
    EXPECT_EQ(s.ws.ValueAt(2, 1), Variant(5));
}

TEST(SheetModel, OnlyTheScrollAreaIsSelectable) {
    guitest::App();
    Sheet s;
    s.ws.SetScrollArea("F6");
    s.ws.SetValueAt(2, 2, Variant("考场编排系统"));
    gui::SheetModel m(s.ws);
    EXPECT_EQ(At(m, "F6").flags(), Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    for (const char* outside : {"E6", "F5", "G6", "F7", "B2"}) EXPECT_EQ(At(m, outside).flags(), Qt::NoItemFlags) << outside;

    // The view starts on F6 whatever the active cell was.
    s.ws.SetActiveCell({2, 2});
    gui::SheetView view(s.ws, [](const QString&) {}, nullptr);
    EXPECT_EQ(view.Grid().currentIndex(), At(view.Model(), "F6"));
    EXPECT_EQ(view.StartButton(), nullptr);
}

TEST(SheetModel, ALargeSheetIsReadWhereTheViewLooksAndNeverCopied) {
    guitest::App();
    Sheet s;
    constexpr int32_t kRows = 30000;
    for (int32_t r = 1; r <= kRows; ++r) {
        s.ws.SetValueAt(r, 1, Variant(r));
        s.ws.SetValueAt(r, 3, Variant("考生" + std::to_string(r)));
    }
    gui::SheetModel m(s.ws);
    EXPECT_EQ(m.rowCount(), kRows + gui::SheetModel::kMarginRows);
    size_t stored = 0;
    for (const host::Row& row : s.ws.RowsData()) stored += row.cells.size();
    // Reading every role of cells inside and past the stored ones creates none.
    for (int r = kRows - 20; r < m.rowCount(); ++r)
        for (int c = 0; c < 6; ++c)
            for (int role : {int(Qt::DisplayRole), int(Qt::EditRole), int(Qt::FontRole), int(Qt::BackgroundRole),
                             int(Qt::TextAlignmentRole)})
                m.index(r, c).data(role);
    size_t after = 0;
    for (const host::Row& row : s.ws.RowsData()) after += row.cells.size();
    EXPECT_EQ(after, stored);
    EXPECT_EQ(s.ws.RowsData().size(), size_t(kRows));
    EXPECT_EQ(m.index(kRows - 1, 2).data().toString(), "考生30000");
}

TEST(SheetView, SizesHiddenRowsAndColumnsAndMergedAreasComeFromTheSheet) {
    guitest::App();
    Sheet s;
    s.ws.SetColumnWidthChars(2, 20);
    s.ws.GetColumn(3).hidden = true;
    s.ws.GetRow(2).info.height = 30;
    s.ws.GetRow(2).info.customHeight = true;
    s.ws.GetRow(4).info.hidden = true;
    s.ws.MergedAreas().push_back({6, 1, 7, 4});
    s.ws.SetValueAt(6, 1, Variant("合并"));
    gui::SheetView view(s.ws, [](const QString&) {}, nullptr);
    gui::GridView& g = view.Grid();
    EXPECT_EQ(g.columnWidth(1), gui::PointsToPixels(s.ws.ColumnWidthPoints(2)));
    EXPECT_GT(g.columnWidth(1), g.columnWidth(0));
    EXPECT_EQ(g.columnWidth(0), gui::PointsToPixels(s.ws.ColumnWidthPoints(1)));
    EXPECT_TRUE(g.isColumnHidden(2));
    EXPECT_EQ(g.rowHeight(1), 40) << "30 pt at 96 dpi";
    EXPECT_EQ(g.rowHeight(0), gui::PointsToPixels(s.ws.StandardHeight()));
    EXPECT_TRUE(g.isRowHidden(3));
    EXPECT_EQ(g.rowSpan(5, 0), 2);
    EXPECT_EQ(g.columnSpan(5, 0), 4);

    // Later changes show after a refresh; the merge is gone with it.
    s.ws.GetRow(4).info.hidden = false;
    s.ws.MergedAreas().clear();
    view.Refresh();
    EXPECT_FALSE(g.isRowHidden(3));
    EXPECT_EQ(g.columnSpan(5, 0), 1);
}
