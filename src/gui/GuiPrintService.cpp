#include "gui/GuiPrintService.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "gui/PrintPreview.h"
#include "gui/WindowPlacement.h"
#include "gui/QtToolkit.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/PagedOutput.h"

namespace gui {

GuiPrintService::GuiPrintService(QtToolkit& toolkit) : toolkit_(toolkit) {}

void GuiPrintService::BeginRun() {
    asked_ = cancelled_ = false;
    pdfInstead_.clear();
    files_.BeginRun();
}

void GuiPrintService::EndRun() {
    files_.EndRun();
    if (!pdfInstead_.empty())
        for (const auto& w : files_.Written())
            if (w.file == pdfInstead_)
                toolkit_.MessageBox({"已导出 PDF 文件：" + w.file, platform::MsgButtons::OK,
                                     platform::MsgIcon::Information, 1, "操作提示…"});
}

void GuiPrintService::PrintOut(host::Worksheet& sheet, const host::PrintJob& job) {
    if (!job.toFile.empty()) return files_.PrintOut(sheet, job);
    if (job.preview) return Preview(sheet);
    Print(sheet);
}

void GuiPrintService::Print(host::Worksheet& sheet) {
    if (!asked_) {
        asked_ = true;
        if (render::PrinterPrintService::Printers().empty()) {
            const auto answer = toolkit_.MessageBox(
                {kNoPrinter, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, 1, "提示"});
            if (answer == platform::MsgResult::Yes) {
                const host::Workbook& wb = sheet.Parent();
                std::string stem = wb.Name().substr(0, wb.Name().rfind('.'));
                pdfInstead_ = toolkit_.SaveFileDialog(
                    {"导出 PDF", (wb.Path().empty() ? "" : wb.Path() + "/") + stem + ".pdf", "PDF 文件 (*.pdf)|*.pdf"});
            }
            cancelled_ = pdfInstead_.empty();
        } else if (toolkit_.IsScripted()) {
            cancelled_ = true;  // a scripted run never shows the print dialog
        } else {
            QPrinter printer(QPrinter::HighResolution);
            QPrintDialog dialog(&printer);
            dialog.setWindowTitle(QStringLiteral("打印"));
            cancelled_ = dialog.exec() != QDialog::Accepted;
            if (!cancelled_) printer_.Choose(printer.printerName().toStdString(), printer.copyCount());
        }
    }
    if (cancelled_) throw host::HostError("打印已取消");
    if (!pdfInstead_.empty()) return files_.PrintOut(sheet, {false, pdfInstead_});
    printer_.PrintOut(sheet, {});
}

void GuiPrintService::Preview(host::Worksheet& sheet) {
    if (toolkit_.IsScripted()) return;  // tests look at the procedure, not at a modal window
    // Pages are painted as they scroll into view: a long block opens at once.
    PrintPreviewDialog dialog(sheet, render::PrintFieldsNow());
    dialog.setWindowTitle(QString::fromStdString("打印预览 - " + sheet.Parent().Name() + " - " + sheet.Name()));
    dialog.resize(900, 1000);
    KeepOnScreen(dialog);  // a laptop's screen is less than 1000 pixels tall
    dialog.exec();
}

}  // namespace gui
