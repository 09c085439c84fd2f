#include "workbook/DefaultSystemWorkbook.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "workbook/BuiltInTemplates.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace workbook {

namespace {

struct TextStyle {
    double size = 11;
    bool bold = false;
    std::string fontName = "宋体";
    std::string horizontal;  // "", "center", "left"
    bool wrap = false;
    int colorIndex = 0;      // 0: automatic
};

void Put(host::Worksheet& ws, int32_t row, int32_t col, const std::string& text, const TextStyle& st) {
    host::StyleTable& styles = ws.Parent().Styles();
    host::CellFormat f = styles.Default();
    f.font.name = st.fontName;
    f.font.size = st.size;
    f.font.bold = st.bold;
    if (st.colorIndex) f.font.color = host::Color::FromColorIndex(st.colorIndex);
    f.alignment.horizontal = st.horizontal;
    f.alignment.vertical = "center";
    f.alignment.wrapText = st.wrap;
    ws.SetValueAt(row, col, host::Variant(text));
    ws.SetStyleAt(row, col, styles.Intern(f));
}

void Merge(host::Worksheet& ws, int32_t top, int32_t left, int32_t bottom, int32_t right) {
    ws.MergedAreas().push_back(host::Rect{top, left, bottom, right});
}

void SetRowHeight(host::Worksheet& ws, int32_t row, double points) {
    ws.SetRowHeightPoints(row, points);
}

// Columns B to N carry the text; F6 is the one cell the user can select.
//   B2:N3  title            B4:N4  subtitle        F6  the start cell
//   B8     "使用步骤："      B9:N14 one step a row, wrapped
void BuildFrontSheet(host::Worksheet& ws) {
    ws.SetShowGridLines(false);
    ws.SetColumnWidthChars(1, 3);
    for (int32_t col = 2; col <= 14; ++col) ws.SetColumnWidthChars(col, 9);

    Put(ws, 2, 2, std::string(kProductName), {.size = 26, .bold = true, .fontName = "黑体", .horizontal = "center", .colorIndex = 11});
    Merge(ws, 2, 2, 3, 14);
    Put(ws, 4, 2, "考场安排 · 考号编排 · 考试用表 · 分区打印", {.size = 12, .horizontal = "center", .colorIndex = 16});
    Merge(ws, 4, 2, 4, 14);
    SetRowHeight(ws, 6, 24);
    Put(ws, 6, 6, "开始", {.size = 14, .bold = true, .horizontal = "center", .colorIndex = 5});

    Put(ws, 8, 2, "使用步骤：", {.size = 12, .bold = true, .fontName = "宋体", .horizontal = "left"});
    const std::vector<std::string> steps = {
        "1. 在“设置”窗口中选择花名册工作簿（每个年级一张工作表，第一行是列标题，其中要有“班级”列），"
        "填好考场组数、考场总数等参数后保存，系统为每张花名册表建立设置表。",
        "2. 在各设置表中填写每个考场、每组安排的考生人数，再点“数据统计”，按“修改意见”核对花名册与设置。",
        "3. 在“编排”窗口中选择排序方式和考号编排方法，点“开始编排”，考场号、座号和考号写入花名册。",
        "4. 在“考试用表”窗口中选择或设计模板，生成考场名单、座位表、桌贴等考试用表。",
        "5. 在“打印”窗口中打开任一工作簿，按分区或按工作表打印、预览。",
        "本表受保护，只能选中“开始”单元格；工具窗口关闭后，重新打开本工作簿即可再次启动。",
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const int32_t row = 9 + int32_t(i);
        Put(ws, row, 2, steps[i], {.size = 11, .bold = false, .fontName = "宋体", .horizontal = "left", .wrap = true});
        Merge(ws, row, 2, row, 14);
        SetRowHeight(ws, row, 30);
    }
    ws.SetScrollArea("F6");
    ws.SetSelection("F6");
    ws.SetActiveCell({6, 6});
    ws.Protect(std::string(kSheetPassword));
}

// Row 1 of the template options table; it is how a system workbook is
// recognised (IsSystemWorkbook).
void BuildParameterSheet(host::Worksheet& ws) {
    int32_t col = 0;
    for (std::string_view title : kOptionsTitles) Put(ws, 1, ++col, std::string(title), {.bold = true, .horizontal = "center"});
    for (int32_t col = 1; col <= 7; ++col) ws.SetColumnWidthChars(col, 14);

    ParameterCells cells(ws.Parent());
    cells.SetDeskGroups(4);
    cells.SetGradesPerGroup(1);
    cells.SetRoomCount(20);
    cells.SetExtraFieldCount(0);
    cells.SetFirstExamNumber(1);
    cells.SetSortKeyField(std::string(kNoneEntry));
    cells.SetColumnTitle(std::string(kNoneEntry));
    cells.SetOrdering(3);
    cells.SetNumberingMethod(1);
    cells.SetDeskOrder(0);
}

host::Workbook& BuildWorkbook(host::Application& app) {
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& front = wb.Sheet(1);
    front.SetName(std::string(kProductName));
    front.SetCodeName("Sheet1");
    wb.InsertSheet(-1, "参数", "Sheet2");
    wb.InsertSheet(-1, "修改意见", "Sheet3");
    wb.InsertSheet(-1, "模板图像", "Sheet4");
    BuildFrontSheet(front);
    BuildParameterSheet(wb.Sheet(2));
    AddBuiltInTemplates(wb);
    wb.SetActiveSheet(&front);
    HideServiceSheets(wb);
    return wb;
}

}  // namespace

std::string DefaultSystemWorkbookPath() {
    const char* home = std::getenv("HOME");
    std::filesystem::path base = home && *home ? std::filesystem::path(home) : std::filesystem::current_path();
    return (base / "考场编排" / "考场编排系统.xlsx").string();
}

host::Workbook& CreateDefaultSystemWorkbook(host::Application& app, const std::string& fullName) {
    host::Workbook& wb = BuildWorkbook(app);
    try {
        std::filesystem::path folder = std::filesystem::path(fullName).parent_path();
        std::error_code ec;
        if (!folder.empty()) std::filesystem::create_directories(folder, ec);
        if (ec) throw host::FileError(fullName, "无法建立文件夹“" + folder.string() + "”：" + ec.message());
        wb.SaveAs(fullName);
    } catch (...) {
        wb.Close(false);
        throw;
    }
    return wb;
}

}  // namespace workbook
