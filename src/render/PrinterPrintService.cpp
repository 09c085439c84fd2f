#include "render/PrinterPrintService.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/PagedOutput.h"
#include "render/PdfPrintService.h"

namespace render {

std::vector<std::string> PrinterPrintService::Printers() {
    EnsureGuiApplication();
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) names.push_back(n.toStdString());
    return names;
}

std::string PrinterPrintService::DefaultPrinter() {
    EnsureGuiApplication();
    return QPrinterInfo::defaultPrinterName().toStdString();
}

PrinterPrintService::PrinterPrintService(std::string printer, int copies)
    : printer_(std::move(printer)), copies_(copies), files_(std::make_unique<PdfPrintService>()) {}

PrinterPrintService::~PrinterPrintService() = default;

void PrinterPrintService::Choose(const std::string& printer, int copies) {
    printer_ = printer;
    copies_ = copies;
}

void PrinterPrintService::BeginRun() { files_->BeginRun(); }

void PrinterPrintService::EndRun() { files_->EndRun(); }

void PrinterPrintService::PrintOut(host::Worksheet& sheet, const host::PrintJob& job) {
    if (!job.toFile.empty()) return files_->PrintOut(sheet, job);
    if (job.preview) throw host::HostError("此处不能打印预览");
    EnsureGuiApplication();
    const std::string name = printer_.empty() ? DefaultPrinter() : printer_;
    if (name.empty()) throw host::HostError("没有安装打印机");
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromStdString(name));
    if (!printer.isValid()) throw host::HostError("打印机“" + name + "”不可用");
    printer.setCopyCount(copies_);
    printer.setDocName(QString::fromStdString(sheet.Parent().Name() + " - " + sheet.Name()));
    printer.setFullPage(true);
    PagedOutput pages(printer);
    if (pages.AddSheet(sheet, PrintFieldsNow()) == 0 || !pages.Finish())
        throw host::HostError("工作表“" + sheet.Name() + "”没有打印出来");
    ++jobs_;
}

}  // namespace render
