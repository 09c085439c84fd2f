#include "host/xlsx/WriterParts.h"

#include <functional>

namespace host::xlsx {

uint32_t SharedStrings::Index(std::string_view s) {
    ++references_;
    if ((strings_.size() + 1) * 2 > slots_.size()) Grow();  // at most half full
    size_t h = std::hash<std::string_view>()(s);
    size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        uint32_t e = slots_[i];
        if (e == 0) {
            strings_.push_back(s);
            hashes_.push_back(h);
            slots_[i] = uint32_t(strings_.size());
            return uint32_t(strings_.size() - 1);
        }
        if (hashes_[e - 1] == h && strings_[e - 1] == s) return e - 1;
    }
}

void SharedStrings::Grow() {
    std::vector<uint32_t> bigger(slots_.size() * 2, 0);
    size_t mask = bigger.size() - 1;
    for (size_t k = 0; k < strings_.size(); ++k) {
        size_t i = hashes_[k] & mask;
        while (bigger[i]) i = (i + 1) & mask;
        bigger[i] = uint32_t(k + 1);
    }
    slots_.swap(bigger);
}

void WriteSharedStrings(const SharedStrings& sst, XmlBuffer& out) {
    out.Declaration().Raw("<sst").Attr("xmlns", kMainNs).Attr("count", int64_t(sst.ReferenceCount()))
        .Attr("uniqueCount", int64_t(sst.UniqueCount())).Raw(">");
    for (std::string_view s : sst.Strings()) {
        out.Raw(NeedsSpacePreserve(s) ? "<si><t xml:space=\"preserve\">" : "<si><t>");
        out.CellText(s).Raw("</t></si>");
    }
    out.Raw("</sst>");
}

}  // namespace host::xlsx
