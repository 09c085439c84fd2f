#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {
constexpr std::string_view kDocRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

void Begin(XmlBuffer& out) {
    out.Declaration().Raw("<Relationships").Attr("xmlns", kPackageRelNs).Raw(">");
}
void Relationship(XmlBuffer& out, std::string_view id, std::string_view type, std::string_view target) {
    out.Raw("<Relationship").Attr("Id", id).Attr("Type", type).Attr("Target", target).Raw("/>");
}
std::string DocType(std::string_view name) { return std::string(kDocRel) + std::string(name); }

// Kept relationships keep their ids; targets of kept parts are absolute.
void Kept(XmlBuffer& out, const PackagePlan& plan, const std::vector<KeptRelationship>& rels) {
    for (const KeptRelationship& r : rels) {
        if (r.external) {
            out.Raw("<Relationship").Attr("Id", r.id).Attr("Type", r.type).Attr("Target", r.externalTarget)
                .Raw(" TargetMode=\"External\"/>");
        } else if (auto it = plan.keptPath.find(r.part.get()); it != plan.keptPath.end()) {
            Relationship(out, r.id, r.type, AbsoluteTarget(it->second));
        }
    }
}
}  // namespace

void WriteRootRels(const PackagePlan& plan, XmlBuffer& out) {
    Begin(out);
    Relationship(out, plan.officeDocumentRelId, DocType("officeDocument"), "xl/workbook.xml");
    Relationship(out, plan.coreRelId,
                 "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
                 "docProps/core.xml");
    Relationship(out, plan.appRelId, DocType("extended-properties"), "docProps/app.xml");
    Kept(out, plan, plan.wb->Kept().packageRelationships);
    out.Raw("</Relationships>");
}

void WriteWorkbookRels(const PackagePlan& plan, XmlBuffer& out) {
    Begin(out);
    for (const SheetPart& s : plan.sheets)
        Relationship(out, s.relId, DocType("worksheet"), "worksheets/sheet" + std::to_string(s.number) + ".xml");
    Relationship(out, plan.stylesRelId, DocType("styles"), "styles.xml");
    Relationship(out, plan.themeRelId, DocType("theme"), "theme/theme1.xml");
    Relationship(out, plan.sharedStringsRelId, DocType("sharedStrings"), "sharedStrings.xml");
    if (plan.macroEnabled)
        Relationship(out, plan.vbaRelId, "http://schemas.microsoft.com/office/2006/relationships/vbaProject", "vbaProject.bin");
    const KeptWorkbook& kept = plan.wb->Kept();
    for (const KeptSheetTab& t : kept.sheetTabs) Kept(out, plan, {t.relationship});
    Kept(out, plan, kept.relationships);
    out.Raw("</Relationships>");
}

void WriteSheetRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out) {
    Begin(out);
    if (part.drawing)
        Relationship(out, part.drawingRelId, DocType("drawing"), "../drawings/drawing" + std::to_string(part.drawing) + ".xml");
    Kept(out, plan, part.sheet->Kept().relationships);
    out.Raw("</Relationships>");
}

void WriteDrawingRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out) {
    Begin(out);
    for (size_t i = 0; i < part.pictureImages.size(); ++i) {
        const std::string& path = plan.images[part.pictureImages[i]].path;  // "xl/media/…"
        Relationship(out, part.pictureRelIds[i], DocType("image"), "../" + path.substr(3));
    }
    Kept(out, plan, part.sheet->Kept().drawing.relationships);
    out.Raw("</Relationships>");
}

bool WriteKeptPartRels(const PackagePlan& plan, const KeptPart& part, XmlBuffer& out) {
    if (part.relationships.empty()) return false;
    Begin(out);
    Kept(out, plan, part.relationships);
    out.Raw("</Relationships>");
    return true;
}

}  // namespace host::xlsx
