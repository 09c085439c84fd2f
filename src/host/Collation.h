#pragma once
// Text order of the host's Sort: pinyin for Han characters (ICU's zh
// collation), digits before space and punctuation, Latin before Han,
// apostrophes and hyphens ignored except as a final tie-break.
#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

namespace host {

class TextCollation {
public:
    // Built once per process; matchCase distinguishes "a" from "A" (lower case first).
    static const TextCollation& Get(bool matchCase);

    // A byte string whose plain comparison (std::string operator<) is the host order.
    std::string SortKey(std::string_view utf8) const;
    // -1, 0 or 1; the same order as comparing sort keys.
    int Compare(std::string_view a, std::string_view b) const;

    ~TextCollation();
    TextCollation(const TextCollation&) = delete;
    TextCollation& operator=(const TextCollation&) = delete;

private:
    explicit TextCollation(bool matchCase);
    void AppendKey(std::string_view utf8, std::string& out) const;
    std::unique_ptr<icu::Collator> coll_;
};

}  // namespace host
