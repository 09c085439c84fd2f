#include "host/xlsx/ReaderRelationships.h"

#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

Relationships Relationships::Read(ZipSource& zip, std::string_view sourcePart) {
    Relationships rels;
    std::string part = RelationshipsPartOf(sourcePart);
    if (!zip.Has(part)) return rels;
    pugi::xml_document doc;
    LoadXml(zip, part, doc);
    for (pugi::xml_node n = doc.document_element().first_child(); n; n = n.next_sibling()) {
        if (LocalName(n.name()) != "Relationship") continue;
        Relationship r;
        r.id = AttText(n, "Id");
        r.type = AttText(n, "Type");
        r.external = std::string_view(AttText(n, "TargetMode")) == "External";
        r.target = r.external ? AttText(n, "Target") : ResolveTarget(sourcePart, AttText(n, "Target"));
        rels.list_.push_back(std::move(r));
    }
    return rels;
}

const Relationship* Relationships::ById(std::string_view id) const {
    for (const Relationship& r : list_)
        if (r.id == id) return &r;
    return nullptr;
}

const Relationship* Relationships::ByKind(std::string_view kind) const {
    for (const Relationship& r : list_) {
        std::string_view t = r.type;
        if (t.size() > kind.size() && t.substr(t.size() - kind.size()) == kind && t[t.size() - kind.size() - 1] == '/')
            return &r;
    }
    return nullptr;
}

}  // namespace host::xlsx
