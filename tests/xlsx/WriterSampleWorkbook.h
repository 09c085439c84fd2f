#pragma once
// A workbook that uses every feature the writer carries, shared by the tests
// that check the written file with an independent reader and by the round trips.
//
//   "Sheet 1" (code 名单)  values of every kind, formulas, styles, merges,
//                         columns, rows, protection "abc", print settings, a picture
//   "花名册\t设置"        hidden, protected by an imported legacy hash
//   "Scratch"             very hidden
#include <memory>
#include <string>

#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace writer_sample {

inline host::Cell& SetFormula(host::Worksheet& ws, int32_t r, int32_t c, const std::string& f, host::Variant cached) {
    host::Cell& cell = ws.GetCell(r, c);
    cell.formula = std::make_unique<std::string>(f);
    cell.value = std::move(cached);
    return cell;
}

// `picture` is an image file to place on the first sheet; empty for none.
inline std::unique_ptr<host::Workbook> MakeSampleWorkbook(const std::string& picture) {
    using namespace host;
    auto wb = std::make_unique<Workbook>(nullptr, "Sample.xlsx");
    Worksheet& ws = wb->InsertSheet(-1, "Sheet 1", "名单");
    Worksheet& settings = wb->InsertSheet(-1, "花名册\t设置", "Sheet2");
    Worksheet& scratch = wb->InsertSheet(-1, "Scratch", "Sheet3");
    wb->SetDate1904(true);

    ws.SetValueAt(1, 1, Variant("学号"));
    ws.SetValueAt(1, 2, Variant("姓名"));
    ws.SetValueAt(2, 1, Variant(0.1));
    ws.SetValueAt(3, 1, Variant(123456789.123456789));
    ws.SetValueAt(4, 1, Variant(-1e-300));
    ws.SetValueAt(2, 2, Variant(" 前后空格 "));
    ws.SetValueAt(3, 2, Variant("一行\n二行\t制表"));
    ws.SetValueAt(4, 2, Variant("<&>\"'"));
    ws.SetValueAt(5, 1, Variant::Boolean(true));
    ws.SetValueAt(5, 2, Variant::Error(CellError::NA));
    SetFormula(ws, 6, 1, "SUM(A2:A3)", Variant(123456789.223456789));
    SetFormula(ws, 6, 2, "B1&\"x\"", Variant("姓名x"));
    SetFormula(ws, 6, 3, "A5", Variant::Boolean(true));
    SetFormula(ws, 6, 4, "1/0", Variant::Error(CellError::Div0));

    CellFormat head;
    head.font.name = "黑体";
    head.font.size = 14;
    head.font.bold = true;
    head.font.italic = true;
    head.font.color = Color::FromRgb(0xFF0000);
    head.fill.pattern = "solid";
    head.fill.fg = Color::FromColorIndex(6);  // yellow
    head.border.left = {"thin", Color::FromRgb(0x0000FF)};
    head.border.bottom = {"double", {}};
    head.alignment.horizontal = "center";
    head.alignment.vertical = "center";
    head.alignment.wrapText = true;
    ws.SetStyleAt(1, 1, wb->Styles().Intern(head));
    CellFormat text;
    text.numberFormat = "@";
    text.protection.locked = false;
    ws.SetStyleAt(2, 2, wb->Styles().Intern(text));
    CellFormat money;
    money.numberFormat = "0.000_ \"分\"";
    ws.SetStyleAt(3, 1, wb->Styles().Intern(money));
    CellFormat date;
    date.numberFormat = "yyyy/m/d";
    ws.SetStyleAt(7, 1, wb->Styles().Intern(date));
    ws.SetValueAt(7, 1, Variant(46000));

    ws.MergedAreas().push_back(Rect{8, 1, 9, 3});
    ws.SetValueAt(8, 1, Variant("合并"));
    ColumnInfo& b = ws.GetColumn(2);
    b.width = 20.5;
    b.customWidth = true;
    ColumnInfo& d = ws.GetColumn(4);
    d.hidden = true;
    RowInfo& r3 = ws.GetRow(3).info;
    r3.height = 30;
    r3.customHeight = true;
    RowInfo& r10 = ws.GetRow(10).info;
    r10.hidden = true;

    ws.Protect("abc");
    ws.SetShowGridLines(false);
    ws.SetActiveCell({2, 3});
    ws.SetSelection("C2");
    PageSetup& ps = ws.PageSetup();
    ps.PrintArea = "$A$1:$H$40";
    ps.PrintTitleRows = "$1:$2";
    ps.Orientation = 2;
    ps.PaperSize = 9;
    ps.LeftMargin = 36;  // half an inch
    ps.CenterHorizontally = true;
    ps.CenterHeader = "考场安排";
    ps.RightFooter = "第&P页";
    ps.hasSetup = true;
    if (!picture.empty()) {
        Picture& p = ws.AddPicture(picture, 60, 20, 30, 40);
        p.name = "图片 1";
    }

    settings.SetValueAt(1, 1, Variant("设置"));
    SheetProtection legacy;
    legacy.enabled = true;
    legacy.legacyHash = "CC1A";
    legacy.options = {{"formatColumns", "0"}, {"objects", "1"}};
    settings.SetProtection(legacy);
    settings.SetVisible(xlSheetHidden);
    scratch.SetVisible(xlSheetVeryHidden);

    wb->DefinedNames().push_back({"考生", -1, "'Sheet 1'!$A$2:$A$5", false});
    wb->SetActiveSheet(&ws);
    return wb;
}

}  // namespace writer_sample
