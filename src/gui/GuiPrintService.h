#pragma once
// Printing in the desktop front end. The platform's print dialog asks once
// per run (the first print job of a click) for the printer and the number
// of copies; every further job of that run goes there without a dialog.
// Without a printer the user is told so and offered a PDF file instead. A
// preview opens a preview window over the pages; a job naming a file goes
// into that PDF.
#include <string>

#include "host/Application.h"
#include "render/PdfPrintService.h"
#include "render/PrinterPrintService.h"

namespace gui {

class QtToolkit;

class GuiPrintService : public host::PrintService {
public:
    explicit GuiPrintService(QtToolkit& toolkit);

    void PrintOut(host::Worksheet& sheet, const host::PrintJob& job) override;
    void BeginRun() override;
    void EndRun() override;

    // The message when no printer is installed.
    static constexpr const char* kNoPrinter = "没有安装打印机，无法打印。是否改为导出 PDF 文件？";

private:
    void Print(host::Worksheet& sheet);
    void Preview(host::Worksheet& sheet);

    QtToolkit& toolkit_;
    render::PrinterPrintService printer_;
    render::PdfPrintService files_;
    bool asked_ = false, cancelled_ = false;
    std::string pdfInstead_;
};

}  // namespace gui
