#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {
std::string W3cdtf(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}
}  // namespace

void WriteCoreProperties(const Workbook& wb, std::time_t now, XmlBuffer& out) {
    out.Declaration().Raw(
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">");
    // No author or editor: the model keeps no person's name, so a workbook
    // that asks to remove personal information needs nothing more.
    std::string stamp = W3cdtf(now);
    out.Raw("<dcterms:created xsi:type=\"dcterms:W3CDTF\">").Raw(stamp).Raw("</dcterms:created>");
    out.Raw("<dcterms:modified xsi:type=\"dcterms:W3CDTF\">").Raw(stamp).Raw("</dcterms:modified>");
    out.Raw("</cp:coreProperties>");
}

void WriteAppProperties(const PackagePlan& plan, XmlBuffer& out) {
    out.Declaration().Raw(
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">");
    out.Raw("<Application>tolm</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>");
    out.Raw("<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>工作表</vt:lpstr></vt:variant>")
        .Raw("<vt:variant><vt:i4>").Int(int64_t(plan.sheets.size())).Raw("</vt:i4></vt:variant></vt:vector></HeadingPairs>");
    out.Raw("<TitlesOfParts><vt:vector").Attr("size", int64_t(plan.sheets.size())).Raw(" baseType=\"lpstr\">");
    for (const SheetPart& s : plan.sheets) out.Raw("<vt:lpstr>").Text(s.sheet->Name()).Raw("</vt:lpstr>");
    out.Raw("</vt:vector></TitlesOfParts>");
    out.Raw("<LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc>"
            "<HyperlinksChanged>false</HyperlinksChanged></Properties>");
}

}  // namespace host::xlsx
