#pragma once
// Workbooks built in memory for the tests of the system workbook and the
// entry object.
#include <initializer_list>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Variant.h"
#include "host/Workbook.h"

namespace coretest {

// A system workbook with the four service sheets (code names Sheet1 to
// Sheet4) and one template sheet, active in the application.
inline host::Workbook& AddSystemWorkbook(host::Application& app) {
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetName("首页");
    wb.InsertSheet(-1, "参数", "Sheet2");
    wb.InsertSheet(-1, "修改意见", "Sheet3");
    wb.InsertSheet(-1, "模板图像", "Sheet4");
    wb.InsertSheet(-1, "座位表", "Sheet5");
    wb.Activate();
    return wb;
}

// Writes rows of values from A1 down.
inline void FillRows(host::Worksheet& ws, std::initializer_list<std::vector<host::Variant>> rows) {
    int32_t r = 1;
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c)
            if (!row[c].IsEmpty()) ws.SetValueAt(r, int32_t(c) + 1, row[c]);
        ++r;
    }
}

}  // namespace coretest
