#include <map>

#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {
int ActiveTab(const Workbook& wb) {
    const Worksheet* active = wb.ActiveSheet();
    if (active && active->Visible() == xlSheetVisible) return active->Index() - 1;
    for (int i = 1; i <= wb.SheetCount(); ++i)
        if (wb.Sheet(i).Visible() == xlSheetVisible) return i - 1;
    return 0;
}
}  // namespace

PackagePlan MakePackagePlan(const Workbook& wb, bool macroEnabled) {
    PackagePlan plan;
    plan.wb = &wb;
    plan.macroEnabled = macroEnabled && wb.VbaProject() != nullptr;
    plan.activeTab = ActiveTab(wb);
    // One media part per distinct image buffer: copies of a picture share their bytes.
    std::map<const std::vector<uint8_t>*, size_t> imageOf;
    int drawings = 0;
    for (int i = 1; i <= wb.SheetCount(); ++i) {
        SheetPart part;
        part.sheet = &wb.Sheet(i);
        part.number = i;
        part.active = i - 1 == plan.activeTab;
        for (const Picture& pic : part.sheet->Pictures()) {
            if (!pic.data) continue;
            auto [it, added] = imageOf.emplace(pic.data.get(), plan.images.size());
            if (added) {
                std::string ext = pic.extension == "jpg" ? "jpeg" : pic.extension;
                // AddPicture and the reader only make the known kinds; anything else is declared as PNG.
                if (ImageContentType(ext).empty()) ext = "png";
                plan.images.push_back({"xl/media/image" + std::to_string(plan.images.size() + 1) + "." + ext, ext, pic.data});
            }
            part.pictureImages.push_back(it->second);
        }
        if (!part.pictureImages.empty()) part.drawing = ++drawings;
        plan.sheets.push_back(std::move(part));
    }
    return plan;
}

}  // namespace host::xlsx
