#include "render/PdfPrintService.h"

#include <algorithm>

#include "host/HostError.h"
#include "host/Worksheet.h"
#include "render/PagedOutput.h"

namespace render {

PdfPrintService::PdfPrintService(std::string file) : file_(std::move(file)) {}

PdfPrintService::~PdfPrintService() = default;

void PdfPrintService::BeginRun() { open_.clear(); }

void PdfPrintService::PrintOut(host::Worksheet& sheet, const host::PrintJob& job) {
    const std::string& file = job.toFile.empty() ? file_ : job.toFile;
    if (file.empty()) throw host::HostError("没有指定 PDF 文件");
    auto it = std::find_if(open_.begin(), open_.end(), [&](const auto& o) { return o.first == file; });
    if (it == open_.end()) {
        open_.emplace_back(file, std::make_unique<PdfDocument>(file));
        it = open_.end() - 1;
    }
    if (it->second->AddSheet(sheet, fixedFields_ ? fields_ : PrintFieldsNow()) == 0)
        throw host::HostError("工作表“" + sheet.Name() + "”没有可打印的内容");
}

void PdfPrintService::EndRun() {
    for (auto& [file, doc] : open_) {
        const int pages = doc->Pages();
        if (doc->Finish()) written_.push_back({file, pages});
    }
    open_.clear();
}

}  // namespace render
