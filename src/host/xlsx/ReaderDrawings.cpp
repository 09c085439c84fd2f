#include "host/xlsx/ReaderDrawings.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "host/xlsx/ReaderKept.h"
#include "host/xlsx/ReaderRelationships.h"
#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

int64_t ChildNumber(pugi::xml_node n, const char* name) {
    return ParseInt(Child(n, name).child_value()).value_or(0);
}

// <xdr:from>: 0-based column and row, offsets in EMU.
CellAnchor ReadMarker(pugi::xml_node n) {
    CellAnchor a;
    a.col = int32_t(std::clamp<int64_t>(ChildNumber(n, "col"), 0, kMaxColumns - 1)) + 1;
    a.row = int32_t(std::clamp<int64_t>(ChildNumber(n, "row"), 0, kMaxRows - 1)) + 1;
    a.colOffset = ChildNumber(n, "colOff");
    a.rowOffset = ChildNumber(n, "rowOff");
    return a;
}

std::string ExtensionOf(const std::string& part) {
    size_t dot = part.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : part.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == "jpg" ? "jpeg" : ext;
}

}  // namespace

DrawingContent ReadDrawing(ZipSource& zip, const std::string& drawingPart, ImageCache& images, KeptPartReader& parts) {
    DrawingContent content;
    std::vector<Picture>& out = content.pictures;
    if (!zip.Has(drawingPart)) return content;
    pugi::xml_document doc;
    LoadXml(zip, drawingPart, doc);
    Relationships rels = Relationships::Read(zip, drawingPart);
    std::set<std::string> pictureIds, keptIds;  // relationships the pictures use, and the kept anchors
    pugi::xml_node root = doc.document_element();
    for (pugi::xml_node anchor = root.first_child(); anchor; anchor = anchor.next_sibling()) {
        if (anchor.type() != pugi::node_element) continue;
        auto keep = [&] {
            FragmentBuilder b;
            FeedElement(anchor, b);
            content.kept.maxShapeId = std::max(content.kept.maxShapeId, b.MaxShapeId());
            keptIds.insert(b.RelationshipIds().begin(), b.RelationshipIds().end());
            content.kept.anchors.push_back(b.Take());
        };
        std::string_view kind = LocalName(anchor.name());
        pugi::xml_node pic = Child(anchor, "pic");
        if ((kind != "twoCellAnchor" && kind != "oneCellAnchor") || !pic) {
            keep();
            continue;
        }
        const Relationship* found = rels.ById(AttText(Child(Child(pic, "blipFill"), "blip"), "embed"));
        if (!found || found->external || !zip.Has(found->target)) {
            keep();
            continue;
        }
        pictureIds.insert(found->id);

        Picture p;
        pugi::xml_node props = Child(Child(pic, "nvPicPr"), "cNvPr");
        p.name = AttText(props, "name");
        p.description = AttText(props, "descr");
        p.extension = ExtensionOf(found->target);
        auto& bytes = images[found->target];
        if (!bytes) bytes = std::make_shared<const std::vector<uint8_t>>(zip.ReadBytes(found->target));
        p.data = bytes;
        p.from = ReadMarker(Child(anchor, "from"));
        // A one-cell anchor has no end cell; its end is left at the start.
        p.to = kind == "twoCellAnchor" ? ReadMarker(Child(anchor, "to")) : p.from;
        pugi::xml_node ext = Child(Child(Child(pic, "spPr"), "xfrm"), "ext");
        if (!ext) ext = Child(anchor, "ext");
        p.widthEmu = ParseInt(AttText(ext, "cx")).value_or(0);
        p.heightEmu = ParseInt(AttText(ext, "cy")).value_or(0);
        out.push_back(std::move(p));
    }
    if (!content.kept.anchors.empty()) {
        // The writer declares xdr and a itself.
        content.kept.rootAttributes = RootAttributes(root, {"xmlns:xdr", "xmlns:a"});
        content.kept.relationships = parts.Keep(rels, [&](const Relationship& r) {
            return keptIds.count(r.id) || !pictureIds.count(r.id);
        });
    }
    return content;
}

}  // namespace host::xlsx
