#include "host/Collation.h"

#include <unicode/coll.h>
#include <unicode/tblcoll.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>

#include "host/HostError.h"

namespace host {

namespace {

// ICU puts space and punctuation before digits; the host puts digits first.
// Full-width digits stay equal to their ASCII forms but for width.
icu::UnicodeString DigitsFirstRule() {
    icu::UnicodeString r(u"&[before 1]' '");
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        r += u'<';
        r += d;
        r += u"<<<";
        r += char16_t(0xFF10 + (d - u'0'));
    }
    return r;
}

// Building the tailoring parses the whole zh rule set (a few hundred ms), so
// it is done once and the case-sensitive variant is a clone of it.
std::unique_ptr<icu::Collator> MakeBaseCollator() {
    UErrorCode st = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> zh(icu::Collator::createInstance(icu::Locale("zh"), st));
    if (U_FAILURE(st) || !zh) throw HostError("无法创建中文排序规则");
    std::unique_ptr<icu::Collator> coll;
    if (auto* rb = dynamic_cast<icu::RuleBasedCollator*>(zh.get())) {
        icu::UnicodeString rules = rb->getRules() + DigitsFirstRule();
        UErrorCode rs = U_ZERO_ERROR;
        auto tailored = std::make_unique<icu::RuleBasedCollator>(rules, rs);
        if (U_SUCCESS(rs)) coll = std::move(tailored);
    }
    if (!coll) coll = std::move(zh);  // pinyin order still holds; only digits vs. punctuation differs
    const int32_t order[] = {USCRIPT_LATIN, USCRIPT_HAN};
    coll->setReorderCodes(order, 2, st);
    if (U_FAILURE(st)) throw HostError("无法设置中文排序规则");
    return coll;
}

std::unique_ptr<icu::Collator> MakeCollator(bool matchCase) {
    static const std::unique_ptr<icu::Collator> base = MakeBaseCollator();
    std::unique_ptr<icu::Collator> coll(base->clone());
    if (!coll) throw HostError("无法创建中文排序规则");
    coll->setStrength(matchCase ? icu::Collator::TERTIARY : icu::Collator::SECONDARY);
    return coll;
}

bool IsIgnoredMark(char c) { return c == '\'' || c == '-'; }

}  // namespace

TextCollation::TextCollation(bool matchCase) : coll_(MakeCollator(matchCase)) {}
TextCollation::~TextCollation() = default;

const TextCollation& TextCollation::Get(bool matchCase) {
    if (matchCase) {
        static const TextCollation cased(true);
        return cased;
    }
    static const TextCollation caseless(false);
    return caseless;
}

void TextCollation::AppendKey(std::string_view utf8, std::string& out) const {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), int32_t(utf8.size())));
    size_t at = out.size();
    out.resize(at + 64);
    int32_t n = coll_->getSortKey(u, reinterpret_cast<uint8_t*>(out.data() + at), 64);
    if (n > 64) {
        out.resize(at + size_t(n));
        coll_->getSortKey(u, reinterpret_cast<uint8_t*>(out.data() + at), n);
    }
    out.resize(at + size_t(n));  // ends with the key's terminating zero byte
}

// Layout: key(text without ' and -) ‖ key(text). ICU keys hold no inner zero
// byte and end with one, so the second key decides only between equal firsts.
std::string TextCollation::SortKey(std::string_view utf8) const {
    std::string key;
    bool marks = false;
    for (char c : utf8) marks |= IsIgnoredMark(c);
    if (!marks) {
        AppendKey(utf8, key);
        key += key;
        return key;
    }
    std::string stripped;
    for (char c : utf8)
        if (!IsIgnoredMark(c)) stripped += c;
    AppendKey(stripped, key);
    AppendKey(utf8, key);
    return key;
}

int TextCollation::Compare(std::string_view a, std::string_view b) const {
    int c = SortKey(a).compare(SortKey(b));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace host
