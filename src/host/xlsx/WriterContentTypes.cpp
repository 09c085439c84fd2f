#include <set>

#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

std::string ImageContentType(const std::string& extension) {
    if (extension == "jpeg" || extension == "jpg") return "image/jpeg";
    if (extension == "png") return "image/png";
    if (extension == "gif") return "image/gif";
    if (extension == "bmp") return "image/bmp";
    return {};
}

namespace {
void Default(XmlBuffer& out, std::string_view ext, std::string_view type) {
    out.Raw("<Default").Attr("Extension", ext).Attr("ContentType", type).Raw("/>");
}
void Override(XmlBuffer& out, std::string_view part, std::string_view type) {
    out.Raw("<Override").Attr("PartName", part).Attr("ContentType", type).Raw("/>");
}
constexpr std::string_view kOfficeType = "application/vnd.openxmlformats-officedocument.";
}  // namespace

void WriteContentTypes(const PackagePlan& plan, XmlBuffer& out) {
    auto office = [](std::string_view rest) { return std::string(kOfficeType) + std::string(rest); };
    out.Declaration().Raw("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">");
    Default(out, "rels", "application/vnd.openxmlformats-package.relationships+xml");
    Default(out, "xml", "application/xml");
    std::set<std::string> extensions;
    for (const ImagePart& img : plan.images) extensions.insert(img.extension);
    for (const std::string& ext : extensions) Default(out, ext, ImageContentType(ext));
    if (plan.macroEnabled) {
        Default(out, "bin", "application/vnd.ms-office.vbaProject");
        Override(out, "/xl/workbook.xml", "application/vnd.ms-excel.sheet.macroEnabled.main+xml");
    } else {
        Override(out, "/xl/workbook.xml", office("spreadsheetml.sheet.main+xml"));
    }
    for (const SheetPart& s : plan.sheets)
        Override(out, "/xl/worksheets/sheet" + std::to_string(s.number) + ".xml", office("spreadsheetml.worksheet+xml"));
    for (const SheetPart& s : plan.sheets)
        if (s.drawing) Override(out, "/xl/drawings/drawing" + std::to_string(s.drawing) + ".xml", office("drawing+xml"));
    Override(out, "/xl/theme/theme1.xml", office("theme+xml"));
    Override(out, "/xl/styles.xml", office("spreadsheetml.styles+xml"));
    Override(out, "/xl/sharedStrings.xml", office("spreadsheetml.sharedStrings+xml"));
    Override(out, "/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
    Override(out, "/docProps/app.xml", office("extended-properties+xml"));
    // Each kept part by name: a default by extension could clash with the written parts'.
    for (const auto& [part, path] : plan.keptParts) Override(out, AbsoluteTarget(path), part->contentType);
    out.Raw("</Types>");
}

}  // namespace host::xlsx
