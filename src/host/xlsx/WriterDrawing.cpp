#include "host/Workbook.h"
#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

namespace {

constexpr double kEmuPerPoint = 12700;

// Anchors in the file count rows and columns from 0.
void WriteMarker(XmlBuffer& out, std::string_view element, const CellAnchor& a) {
    out.Raw("<xdr:").Raw(element).Raw(">");
    out.Raw("<xdr:col>").Int(a.col - 1).Raw("</xdr:col><xdr:colOff>").Int(a.colOffset).Raw("</xdr:colOff>");
    out.Raw("<xdr:row>").Int(a.row - 1).Raw("</xdr:row><xdr:rowOff>").Int(a.rowOffset).Raw("</xdr:rowOff>");
    out.Raw("</xdr:").Raw(element).Raw(">");
}

// The anchor's position on the sheet in EMU, for the picture's own transform.
std::pair<int64_t, int64_t> AnchorOffsetEmu(const Worksheet& ws, const CellAnchor& a) {
    double x = ws.Geometry().Left(a.col), y = ws.Geometry().Top(a.row);
    return {int64_t(x * kEmuPerPoint) + a.colOffset, int64_t(y * kEmuPerPoint) + a.rowOffset};
}

void WritePicture(XmlBuffer& out, const Worksheet& ws, const Picture& pic, int id, size_t relIndex) {
    out.Raw("<xdr:twoCellAnchor editAs=\"oneCell\">");
    WriteMarker(out, "from", pic.from);
    WriteMarker(out, "to", pic.to);
    out.Raw("<xdr:pic><xdr:nvPicPr><xdr:cNvPr").Attr("id", id).Attr("name", pic.name);
    if (!pic.description.empty()) out.Attr("descr", pic.description);
    out.Raw("/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr>");
    out.Raw("<xdr:blipFill><a:blip").Attr("xmlns:r", kRelNs).Attr("r:embed", "rId" + std::to_string(relIndex))
        .Raw("/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>");
    auto [x, y] = AnchorOffsetEmu(ws, pic.from);
    out.Raw("<xdr:spPr><a:xfrm><a:off").Attr("x", x).Attr("y", y).Raw("/><a:ext")
        .Attr("cx", pic.widthEmu).Attr("cy", pic.heightEmu).Raw("/></a:xfrm>");
    out.Raw("<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/>");
    out.Raw("</xdr:twoCellAnchor>");
}

}  // namespace

void WriteDrawing(const PackagePlan& plan, const SheetPart& part, XmlBuffer& out) {
    const Worksheet& ws = *part.sheet;
    out.Declaration().Raw("<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                          "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">");
    // Shape ids start at 2 as the applications number them; 1 is the drawing itself.
    size_t rel = 0;
    for (const Picture& pic : ws.Pictures()) {
        if (!pic.data) continue;
        ++rel;
        WritePicture(out, ws, pic, int(rel) + 1, rel);
    }
    out.Raw("</xdr:wsDr>");
}

}  // namespace host::xlsx
