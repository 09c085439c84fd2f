#include "host/xlsx/WriterParts.h"

namespace host::xlsx {

uint32_t SharedStrings::Index(std::string_view s) {
    ++references_;
    auto [it, added] = index_.emplace(s, uint32_t(strings_.size()));
    if (added) strings_.push_back(s);
    return it->second;
}

void WriteSharedStrings(const SharedStrings& sst, XmlBuffer& out) {
    out.Declaration().Raw("<sst").Attr("xmlns", kMainNs).Attr("count", int64_t(sst.ReferenceCount()))
        .Attr("uniqueCount", int64_t(sst.UniqueCount())).Raw(">");
    for (std::string_view s : sst.Strings()) {
        out.Raw(NeedsSpacePreserve(s) ? "<si><t xml:space=\"preserve\">" : "<si><t>");
        out.Text(s).Raw("</t></si>");
    }
    out.Raw("</sst>");
}

}  // namespace host::xlsx
