#pragma once
// Print jobs into PDF files: every job of a run that names no file of its
// own goes, in order, into the service's file; jobs naming a file
// (PrToFileName) are collected in that file. The files are written at the
// end of the run.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/PageSetup.h"

namespace render {

class PdfDocument;

class PdfPrintService : public host::PrintService {
public:
    // `file` empty: only jobs that name a file can be printed.
    explicit PdfPrintService(std::string file = "");
    ~PdfPrintService() override;

    void PrintOut(host::Worksheet& sheet, const host::PrintJob& job) override;
    void BeginRun() override;
    // Writes every file of the run; one that cannot be written is left out of Written().
    void EndRun() override;

    struct WrittenFile {
        std::string file;
        int pages = 0;
    };
    // The files the runs wrote, in the order their first job came.
    const std::vector<WrittenFile>& Written() const { return written_; }
    // The header and footer's date and time; unset: the clock at each job.
    void SetFields(const host::HeaderFooterFields& fields) { fields_ = fields, fixedFields_ = true; }

private:
    std::string file_;
    std::vector<std::pair<std::string, std::unique_ptr<PdfDocument>>> open_;
    std::vector<WrittenFile> written_;
    host::HeaderFooterFields fields_;
    bool fixedFields_ = false;
};

}  // namespace render
