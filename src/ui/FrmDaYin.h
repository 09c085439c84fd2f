#pragma once
// The Print window: a workbook chosen with "打  开 (&O)" is printed,
// previewed or exported to one PDF — block by block when it is an exam-table
// workbook with its print-information sheet, sheet by sheet otherwise. The
// two labels are the window's only state.
#include "printing/PrintWorkbook.h"
#include "ui/MainWindow.h"

namespace ui {

class FrmDaYin : public MainWindow {
public:
    static constexpr const char* kName = "FrmDaYin";
    explicit FrmDaYin(ui::Component& component);

    enum : int { kPrintButton = 0, kPreviewButton = 1 };

    Frame Frame1{this, "Frame1", "工作簿"};
    ControlArray<Label> Label3{this, "Label3", {"工作簿：", "路径："}};
    Label Label2{this, "Label2"};  // the chosen workbook's file name
    Label Label1{this, "Label1"};  // its folder
    CommandButton Command2{this, "Command2", "打  开 (&O)"};
    ControlArray<CommandButton> Command1{this, "Command1", {"打  印 (&Y)", "打印预览 (&P)"}};
    CommandButton Command3{this, "Command3", "导出 PDF (&F)"};

    workbook::Outcome Command2_Click();
    // kPrintButton prints, kPreviewButton previews.
    workbook::Outcome Command1_Click(int index);
    // The print run into one PDF file chosen in a save dialog.
    workbook::Outcome Command3_Click();

    // What the last print, preview or export did.
    const printing::PrintReport& LastReport() const { return report_; }

protected:
    void OnLoad() override;

private:
    printing::ChosenWorkbook Chosen() const { return {Label1.Caption(), Label2.Caption()}; }
    workbook::Outcome Run(const printing::PrintRequest& request);

    printing::PrintReport report_;
};

// The PDF offered for a workbook: beside it, same name, ".pdf".
std::string DefaultPdfName(const std::string& path, const std::string& name);

}  // namespace ui
