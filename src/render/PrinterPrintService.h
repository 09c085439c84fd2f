#pragma once
// Print jobs to a printer through Qt's printing (CUPS on Linux). Each
// PrintOut is one job on the printer chosen for the run; jobs that name a
// file go into that PDF file instead. Previews are the front end's: this
// service refuses them.
#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"

class QPrinter;

namespace render {

class PdfPrintService;

class PrinterPrintService : public host::PrintService {
public:
    // The printers the system knows, and its default one (empty when none).
    static std::vector<std::string> Printers();
    static std::string DefaultPrinter();

    // `printer` empty: the system's default printer.
    explicit PrinterPrintService(std::string printer = "", int copies = 1);
    ~PrinterPrintService() override;

    void PrintOut(host::Worksheet& sheet, const host::PrintJob& job) override;
    void BeginRun() override;
    void EndRun() override;

    // The printer and copies for the jobs that follow (a print dialog's choice).
    void Choose(const std::string& printer, int copies);
    const std::string& Printer() const { return printer_; }
    int Copies() const { return copies_; }
    int JobsSent() const { return jobs_; }

private:
    std::string printer_;
    int copies_;
    int jobs_ = 0;
    std::unique_ptr<PdfPrintService> files_;
};

}  // namespace render
