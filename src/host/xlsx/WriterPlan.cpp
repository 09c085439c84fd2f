#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {

int ActiveSheet(const Workbook& wb) {
    const Worksheet* active = wb.ActiveSheet();
    if (active && active->Visible() == xlSheetVisible) return active->Index() - 1;
    for (int i = 1; i <= wb.SheetCount(); ++i)
        if (wb.Sheet(i).Visible() == xlSheetVisible) return i - 1;
    return 0;
}

// "rIdN" with the lowest N not yet taken in one relationships part.
class RelIds {
public:
    explicit RelIds(const std::vector<KeptRelationship>& kept) {
        for (const KeptRelationship& r : kept) taken_.insert(r.id);
    }
    void Take(const std::string& id) { taken_.insert(id); }
    std::string Next() {
        for (;;) {
            std::string id = "rId" + std::to_string(++n_);
            if (taken_.insert(id).second) return id;
        }
    }

private:
    std::set<std::string> taken_;
    int n_ = 0;
};

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Names kept parts under: their own unless a written part or an earlier kept
// part has it.
class KeptNames {
public:
    explicit KeptNames(PackagePlan& plan) : plan_(plan) {}
    void Reserve(const std::string& path) { taken_.insert(Lower(path)); }

    void Add(const std::vector<KeptRelationship>& rels) {
        for (const KeptRelationship& r : rels)
            if (r.part) Add(r.part.get());
    }

private:
    void Add(const KeptPart* part) {
        if (plan_.keptPath.count(part)) return;
        std::string name = part->name;
        if (taken_.count(Lower(name))) {
            size_t slash = name.find_last_of('/');
            size_t dot = name.find_last_of('.');
            if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = name.size();
            for (int n = 2;; ++n) {
                std::string candidate = name.substr(0, dot) + "_" + std::to_string(n) + name.substr(dot);
                if (!taken_.count(Lower(candidate))) {
                    name = candidate;
                    break;
                }
            }
        }
        taken_.insert(Lower(name));
        plan_.keptPath[part] = name;
        plan_.keptParts.emplace_back(part, name);
        Add(part->relationships);
    }

    PackagePlan& plan_;
    std::set<std::string> taken_;
};

}  // namespace

PackagePlan MakePackagePlan(const Workbook& wb, bool macroEnabled) {
    PackagePlan plan;
    plan.wb = &wb;
    plan.macroEnabled = macroEnabled && wb.VbaProject() != nullptr;
    const KeptWorkbook& keptBook = wb.Kept();
    const int activeSheet = ActiveSheet(wb);

    // Tab positions: kept sheet tabs stand after the worksheets they followed.
    std::vector<KeptRelationship> tabRels;
    for (const KeptSheetTab& t : keptBook.sheetTabs) tabRels.push_back(t.relationship);
    RelIds bookIds(keptBook.relationships);
    for (const KeptRelationship& r : tabRels) bookIds.Take(r.id);

    // One media part per distinct image buffer: copies of a picture share their bytes.
    std::map<const std::vector<uint8_t>*, size_t> imageOf;
    int drawings = 0;
    for (int i = 1; i <= wb.SheetCount(); ++i) {
        SheetPart part;
        part.sheet = &wb.Sheet(i);
        part.number = i;
        part.active = i - 1 == activeSheet;
        part.relId = bookIds.Next();
        int before = 0;
        for (const KeptSheetTab& t : keptBook.sheetTabs) before += t.after < i;
        part.tabPosition = i - 1 + before;
        if (part.active) plan.activeTab = part.tabPosition;
        const KeptSheet& kept = part.sheet->Kept();
        RelIds drawingIds(kept.drawing.relationships);
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
            part.pictureRelIds.push_back(drawingIds.Next());
        }
        part.firstShapeId = std::max<uint32_t>(kept.drawing.maxShapeId + 1, 2);
        if (!part.pictureImages.empty() || !kept.drawing.Empty()) {
            part.drawing = ++drawings;
            part.drawingRelId = RelIds(kept.relationships).Next();
        }
        plan.sheets.push_back(std::move(part));
    }
    plan.stylesRelId = bookIds.Next();
    plan.themeRelId = bookIds.Next();
    plan.sharedStringsRelId = bookIds.Next();
    if (plan.macroEnabled) plan.vbaRelId = bookIds.Next();
    RelIds rootIds(keptBook.packageRelationships);
    plan.officeDocumentRelId = rootIds.Next();
    plan.coreRelId = rootIds.Next();
    plan.appRelId = rootIds.Next();

    KeptNames names(plan);
    for (const char* p : {"[Content_Types].xml", "docProps/app.xml", "docProps/core.xml", "xl/workbook.xml",
                          "xl/theme/theme1.xml", "xl/styles.xml", "xl/sharedStrings.xml", "xl/vbaProject.bin"})
        names.Reserve(p);
    for (const SheetPart& s : plan.sheets) {
        names.Reserve("xl/worksheets/sheet" + std::to_string(s.number) + ".xml");
        if (s.drawing) names.Reserve("xl/drawings/drawing" + std::to_string(s.drawing) + ".xml");
    }
    for (const ImagePart& img : plan.images) names.Reserve(img.path);
    names.Add(keptBook.packageRelationships);
    names.Add(keptBook.relationships);
    names.Add(tabRels);
    for (const SheetPart& s : plan.sheets) {
        names.Add(s.sheet->Kept().relationships);
        names.Add(s.sheet->Kept().drawing.relationships);
    }
    return plan;
}

}  // namespace host::xlsx
