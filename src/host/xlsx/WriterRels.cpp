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
std::string Id(size_t n) { return "rId" + std::to_string(n); }
}  // namespace

void WriteRootRels(XmlBuffer& out) {
    Begin(out);
    Relationship(out, "rId1", DocType("officeDocument"), "xl/workbook.xml");
    Relationship(out, "rId2", "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
                 "docProps/core.xml");
    Relationship(out, "rId3", DocType("extended-properties"), "docProps/app.xml");
    out.Raw("</Relationships>");
}

void WriteWorkbookRels(const PackagePlan& plan, XmlBuffer& out) {
    Begin(out);
    size_t n = 0;
    for (const SheetPart& s : plan.sheets)
        Relationship(out, Id(++n), DocType("worksheet"), "worksheets/sheet" + std::to_string(s.number) + ".xml");
    Relationship(out, Id(++n), DocType("styles"), "styles.xml");
    Relationship(out, Id(++n), DocType("theme"), "theme/theme1.xml");
    Relationship(out, Id(++n), DocType("sharedStrings"), "sharedStrings.xml");
    if (plan.macroEnabled)
        Relationship(out, Id(++n), "http://schemas.microsoft.com/office/2006/relationships/vbaProject", "vbaProject.bin");
    out.Raw("</Relationships>");
}

void WriteSheetRels(const SheetPart& part, XmlBuffer& out) {
    Begin(out);
    Relationship(out, "rId1", DocType("drawing"), "../drawings/drawing" + std::to_string(part.drawing) + ".xml");
    out.Raw("</Relationships>");
}

void WriteDrawingRels(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out) {
    Begin(out);
    for (size_t i = 0; i < part.pictureImages.size(); ++i) {
        const std::string& path = plan.images[part.pictureImages[i]].path;  // "xl/media/…"
        Relationship(out, Id(i + 1), DocType("image"), "../" + path.substr(3));
    }
    out.Raw("</Relationships>");
}

}  // namespace host::xlsx
