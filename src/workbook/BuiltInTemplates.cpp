#include "workbook/BuiltInTemplates.h"

#include <string>
#include <vector>

#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace workbook {

namespace {

using host::Range;

struct Look {
    double size = 11;
    bool bold = false;
    const char* font = "宋体";
    int align = host::xlHAlignCenter;
    bool wrap = false;
    int fill = 0;       // colour index; 0 none
    int color = 0;      // font colour index; 0 automatic
    // A value that may be longer than the cell (an exam number of 15 digits,
    // a class "高一(10)班", a long name) is drawn smaller rather than cut.
    bool shrink = false;
};

class Sheet {
public:
    explicit Sheet(host::Worksheet& ws) : ws_(ws) {}

    // Text (or a placeholder) in a cell or a merged block, e.g. "B3" or "D3:G3".
    Range Put(const char* where, const std::string& text, const Look& look = {}) {
        Range r = ws_.GetRange(where);
        if (r.Count() > 1) r.Merge();
        r.Cells(1, 1).SetValue(host::Variant(text));
        Format(r, look);
        return r;
    }
    void Format(Range r, const Look& look) {
        r.Font().SetName(look.font);
        r.Font().SetSize(look.size);
        r.Font().SetBold(look.bold);
        if (look.color) r.Font().SetColorIndex(look.color);
        r.SetHorizontalAlignment(look.align);
        r.SetVerticalAlignment(host::xlVAlignCenter);
        r.SetWrapText(look.wrap);
        r.SetShrinkToFit(look.shrink);
        if (look.fill) r.Interior().SetColorIndex(look.fill);
    }
    void Mark(const char* cell, const char* marker) { ws_.GetRange(cell).SetValue(host::Variant(marker)); }
    void Widths(const std::vector<std::pair<int32_t, double>>& widths) {
        for (const auto& [col, chars] : widths) ws_.SetColumnWidthChars(col, chars);
    }
    void Height(int32_t row, double points) { ws_.Rows(row).SetRowHeight(points); }
    // Thin lines on every edge of every cell of the block.
    void Grid(const char* where) {
        Range r = ws_.GetRange(where);
        r.Borders().SetLineStyle(host::xlContinuous);
        r.Borders().SetWeight(host::xlThin);
    }
    void Frame(const char* where, int weight) { ws_.GetRange(where).BorderAround(weight, 1); }
    void Caption(const std::string& name) {
        Put("A1", "<" + name + " 模板设计>", {.size = 16, .align = host::xlHAlignLeft, .color = 5});
    }
    host::PageSetup& Page() {
        ws_.PageSetup().hasSetup = true;
        ws_.PageSetup().PaperSize = 9;
        return ws_.PageSetup();
    }
    // A4, centred, one page wide; `pagesTall` 0 lets a block run on.
    void FitToPages(int orientation, int pagesTall, bool pageNumbers) {
        host::PageSetup& p = Page();
        p.Orientation = orientation;
        p.Zoom = 0;
        p.FitToPagesWide = 1;
        p.FitToPagesTall = pagesTall;
        p.CenterHorizontally = true;
        if (pageNumbers) p.CenterFooter = "第 &P 页";
    }

private:
    host::Worksheet& ws_;
};

const Look kTitle{.size = 22, .bold = true, .font = "黑体"};
const Look kHead{.size = 10.5, .bold = true, .fill = 15};
const Look kValue{.size = 12, .shrink = true};

// 考场座位表: room-and-seat with a column-title row. Body B–E (B the empty gap
// column between groups), one desk = rows 8–10 under the column titles of row 7.
void SeatingChart(Sheet& s) {
    s.Caption("考场座位表");
    s.Widths({{1, 2}, {2, 1.5}, {3, 6}, {4, 7}, {5, 7}});
    s.Mark("A3", "@");
    s.Mark("A5", "@");
    s.Mark("R3", "@");
    s.Put("B3:C3", "第", {.size = 22, .bold = true, .font = "黑体", .align = host::xlHAlignRight});
    s.Put("D3", "[场号]", kTitle);
    s.Put("E3:H3", "考场座位表", {.size = 22, .bold = true, .font = "黑体", .align = host::xlHAlignLeft});
    s.Height(3, 36);
    // Three grades sharing a room show three head counts ("35+35+30") and
    // three first and last exam numbers, one a line: the number cells are
    // 21.5 characters wide (15 digits) and the row holds three lines.
    s.Put("B4:C4", "人数：", {.size = 12, .align = host::xlHAlignRight});
    s.Put("D4:E4", "[场人]", {.size = 12, .align = host::xlHAlignLeft, .wrap = true});
    s.Put("F4:G4", "考号：", {.size = 12, .align = host::xlHAlignRight});
    s.Put("H4:K4", "[首考号]", {.size = 11, .wrap = true});
    s.Put("L4", "至", {.size = 12});
    s.Put("M4:P4", "[尾考号]", {.size = 11, .wrap = true});
    s.Height(4, 48);
    s.Put("B5:Q5", "讲        台", {.size = 14, .bold = true, .font = "黑体", .fill = 15});
    s.Height(5, 24);

    s.Mark("A7", "#");
    s.Mark("A10", "#");
    s.Mark("F7", "#");
    s.Put("C7", "座号", {.size = 9, .color = 16});
    s.Put("D7:E7", "考号/姓名", {.size = 9, .color = 16});
    s.Put("C8", "[座号]", {.size = 12, .bold = true});
    s.Put("D8:E8", "[考号]", {.size = 11, .shrink = true});
    s.Put("C9:E9", "[姓名]", {.size = 14, .bold = true, .shrink = true});
    s.Put("C10:E10", "[班级]", {.size = 9, .shrink = true});
    for (int32_t r : {8, 9, 10}) s.Height(r, 20);
    s.Height(7, 14);
    s.Frame("C8:E10", host::xlThin);

    s.FitToPages(2, 1, true);
}

// 考场门贴: a large room number, the exam-number range and head count, then
// the candidates two records per line (title width 8 = 2 × body width 4).
void DoorList(Sheet& s) {
    s.Caption("考场门贴");
    s.Widths({{1, 2}, {2, 6}, {3, 14}, {4, 10}, {5, 8}, {6, 6}, {7, 14}, {8, 10}, {9, 8}});
    s.Mark("A3", "@");
    s.Mark("A5", "@");
    s.Mark("J3", "@");
    s.Put("B3:C3", "第", {.size = 36, .bold = true, .font = "黑体", .align = host::xlHAlignRight});
    s.Put("D3:E3", "[场号]", {.size = 48, .bold = true, .font = "黑体"});
    s.Put("F3:G3", "考场", {.size = 36, .bold = true, .font = "黑体", .align = host::xlHAlignLeft});
    s.Height(3, 66);
    s.Put("B4:C4", "考号：", {.size = 14, .align = host::xlHAlignRight});
    s.Put("D4:E4", "[首考号]", {.size = 14, .wrap = true});
    s.Put("F4", "至", {.size = 14});
    s.Put("G4:H4", "[尾考号]", {.size = 14, .wrap = true});
    s.Height(4, 36);
    s.Put("B5:C5", "人数：", {.size = 14, .align = host::xlHAlignRight});
    s.Put("D5", "[场人]", {.size = 14, .align = host::xlHAlignLeft});
    s.Height(5, 24);

    s.Mark("A7", "#");
    s.Mark("A8", "#");
    s.Mark("F7", "#");
    s.Put("B7", "座号", kHead);
    s.Put("C7", "考号", kHead);
    s.Put("D7", "姓名", kHead);
    s.Put("E7", "班级", kHead);
    s.Put("B8", "[座号]", kValue);
    s.Put("C8", "[考号]", kValue);
    s.Put("D8", "[姓名]", {.size = 12, .bold = true, .shrink = true});
    s.Put("E8", "[班级]", kValue);
    s.Grid("B7:E8");
    s.Height(7, 20);
    s.Height(8, 20);

    s.FitToPages(1, 0, false);
}

// 桌贴: one framed label per candidate, three across (no title region): the
// exam number large across the top, the photo below it on the left. The
// photo box keeps a photo's proportions (about 3 : 4; the photo is stretched
// to its box), and a label of 30 + 4 × 22.5 = 120 pt makes six label rows
// fill the 734 pt of an A4 page, so no label is cut by a page break.
void DeskLabel(Sheet& s) {
    s.Caption("桌贴");
    // 21 characters a label (183 px, 137 pt in 宋体's 8-pixel digits): three
    // fit an A4 portrait page at 100 %, also where 宋体 is drawn with wider
    // digits (LibreOffice without SimSun); a 15-digit exam number fits the
    // 18 pt line across the label, longer names and classes shrink.
    s.Widths({{1, 2}, {2, 10}, {3, 3.5}, {4, 7.5}});
    s.Mark("A3", "#");
    s.Mark("A7", "#");
    s.Mark("E3", "#");
    s.Put("B3:D3", "[考号]", {.size = 18, .bold = true, .font = "黑体", .shrink = true});
    s.Put("B4:B7", "{照片}", {.size = 9});
    const char* labels[] = {"姓名", "班级", "考场", "座号"};
    const char* fields[] = {"[姓名]", "[班级]", "[场号]", "[座号]"};
    for (int i = 0; i < 4; ++i) {
        const std::string row = std::to_string(4 + i);
        s.Put(("C" + row).c_str(), labels[i], {.size = 10, .align = host::xlHAlignRight});
        s.Put(("D" + row).c_str(), fields[i], {.size = i == 0 ? 13.0 : 11.0, .bold = i == 0, .align = host::xlHAlignLeft,
                                          .shrink = true});
    }
    s.Height(3, 30);
    for (int32_t r = 4; r <= 7; ++r) s.Height(r, 22.5);
    s.Frame("B3:D3", host::xlThin);
    s.Frame("B4:B7", host::xlThin);
    s.Frame("B3:D7", host::xlMedium);

    host::PageSetup& p = s.Page();
    p.Orientation = 1;
    p.Zoom = 100;
    p.CenterHorizontally = true;
}

// 考场签到表: one candidate per line with a wide empty column to sign in.
void SignInSheet(Sheet& s) {
    s.Caption("考场签到表");
    s.Widths({{1, 2}, {2, 7}, {3, 14}, {4, 10}, {5, 8}, {6, 22}});
    s.Mark("A3", "@");
    s.Mark("A5", "@");
    s.Mark("G3", "@");
    s.Put("B3", "第", {.size = 20, .bold = true, .font = "黑体", .align = host::xlHAlignRight});
    s.Put("C3", "[场号]", {.size = 20, .bold = true, .font = "黑体"});
    s.Put("D3:F3", "考场签到表", {.size = 20, .bold = true, .font = "黑体", .align = host::xlHAlignLeft});
    s.Height(3, 36);
    s.Put("B4", "日期：", {.size = 12, .align = host::xlHAlignRight});
    s.Put("C4:D4", "", {.size = 12});
    s.Put("E4", "人数：", {.size = 12, .align = host::xlHAlignRight});
    s.Put("F4", "[场人]", {.size = 12, .align = host::xlHAlignLeft});
    s.Height(4, 24);
    s.Height(5, 6);

    s.Mark("A7", "#");
    s.Mark("A8", "#");
    s.Mark("G7", "#");
    const char* heads[] = {"座号", "考号", "姓名", "班级", "签名"};
    const char* cols[] = {"B", "C", "D", "E", "F"};
    for (int i = 0; i < 5; ++i) s.Put((std::string(cols[i]) + "7").c_str(), heads[i], kHead);
    s.Put("B8", "[座号]", kValue);
    s.Put("C8", "[考号]", kValue);
    s.Put("D8", "[姓名]", {.size = 12, .bold = true, .shrink = true});
    s.Put("E8", "[班级]", kValue);
    s.Put("F8", "", kValue);
    s.Grid("B7:F8");
    s.Height(7, 22);
    s.Height(8, 28);

    s.FitToPages(1, 0, true);
}

// 班级考场对照表: per class, where each candidate sits; two records per line.
void ClassRoomList(Sheet& s) {
    s.Caption("班级考场对照表");
    s.Widths({{1, 2}, {2, 14}, {3, 10}, {4, 6}, {5, 6}, {6, 14}, {7, 10}, {8, 6}, {9, 6}});
    s.Mark("A3", "@");
    s.Mark("A4", "@");
    s.Mark("J3", "@");
    s.Put("B3:C3", "[班级]", {.size = 22, .bold = true, .font = "黑体", .align = host::xlHAlignRight});
    s.Put("D3:I3", "考场对照表", {.size = 22, .bold = true, .font = "黑体", .align = host::xlHAlignLeft});
    s.Height(3, 40);
    s.Height(4, 8);

    s.Mark("A6", "#");
    s.Mark("A7", "#");
    s.Mark("F6", "#");
    const char* heads[] = {"考号", "姓名", "考场", "座号"};
    const char* fields[] = {"[考号]", "[姓名]", "[场号]", "[座号]"};
    const char* cols[] = {"B", "C", "D", "E"};
    for (int i = 0; i < 4; ++i) {
        s.Put((std::string(cols[i]) + "6").c_str(), heads[i], kHead);
        s.Put((std::string(cols[i]) + "7").c_str(), fields[i], kValue);
    }
    s.Grid("B6:E7");
    s.Height(6, 20);
    s.Height(7, 20);

    s.FitToPages(1, 0, false);
}

struct BuiltIn {
    const char* name;
    void (*build)(Sheet&);
    const char* partition;
    const char* sort;
    int16_t titleRow;
    const char* photoScale;
};

}  // namespace

void AddBuiltInTemplates(host::Workbook& system) {
    const std::string tab(kTab);
    const BuiltIn all[] = {
        {"考场座位表", SeatingChart, "场号", "座号", 1, "99"},
        {"考场门贴", DoorList, "场号", "考号", 1, "99"},
        {"桌贴", DeskLabel, "场号", "考号", 0, "90"},
        {"考场签到表", SignInSheet, "场号", "考号", 1, "99"},
        {"班级考场对照表", ClassRoomList, "\x01班级", "考号", 1, "99"},
    };
    host::Worksheet& params = RequireSheetByCodeName(system, kParameterSheet);
    int32_t row = params.Cells(host::kMaxRows, 1).End(host::xlUp).Row();
    int code = 5;
    for (const BuiltIn& b : all) {
        host::Worksheet& ws = system.InsertSheet(-1, b.name, "Sheet" + std::to_string(code++));
        Sheet sheet(ws);
        b.build(sheet);
        ws.SetVisible(host::xlSheetVeryHidden);

        // A user column (班级) is named as the user typed it; the arrangement's
        // columns carry the TAB.
        const std::string partition = b.partition[0] == '\x01' ? std::string(b.partition + 1) : tab + b.partition;
        ++row;
        params.Cells(row, 1).Resize(1, 3).SetNumberFormat("@");
        host::Array2D v(1, 7);
        v(1, 1) = host::Variant(b.name);
        v(1, 2) = host::Variant(partition);
        v(1, 3) = host::Variant(tab + b.sort);
        v(1, 4) = host::Variant::Boolean(true);
        v(1, 5) = host::Variant::Boolean(false);
        v(1, 6) = host::Variant(int(b.titleRow));
        v(1, 7) = host::Variant(b.photoScale);
        params.Cells(row, 1).Resize(1, 7).SetValues(v);
    }
}

}  // namespace workbook
