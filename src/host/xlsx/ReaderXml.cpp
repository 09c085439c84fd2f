#include "host/Utf8.h"
#include "host/xlsx/ReaderXml.h"

#include <expat.h>

#include <charconv>
#include <cstring>
#include <exception>

#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

std::string XmlError(const std::string& part, uint64_t line, const std::string& what) {
    return "XML 格式错误：" + part + "（" + what + "）第 " + std::to_string(line) + " 行";
}

struct ExpatContext {
    XML_Parser parser;
    XmlHandler* handler;
    std::exception_ptr error;
    bool doctype = false;
};

template <class F>
void Guarded(void* data, F&& f) {
    auto* ctx = static_cast<ExpatContext*>(data);
    if (ctx->error) return;
    try {
        f(*ctx);
    } catch (...) {
        ctx->error = std::current_exception();
        XML_StopParser(ctx->parser, XML_FALSE);
    }
}

}  // namespace

struct ExpatDispatch {
    static void Start(void* data, const XML_Char* name, const XML_Char** atts) {
        Guarded(data, [&](ExpatContext& c) {
            c.handler->qualifiedName_ = name;
            c.handler->Start(LocalName(name), atts);
        });
    }
    static void End(void* data, const XML_Char* name) {
        Guarded(data, [&](ExpatContext& c) {
            c.handler->qualifiedName_ = name;
            c.handler->End(LocalName(name));
        });
    }
};

namespace {
void OnText(void* data, const XML_Char* s, int len) {
    Guarded(data, [&](ExpatContext& c) { c.handler->Text(s, len); });
}
void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto* ctx = static_cast<ExpatContext*>(data);
    ctx->doctype = true;
    XML_StopParser(ctx->parser, XML_FALSE);
}

uint64_t LineAt(const std::string& text, ptrdiff_t offset) {
    if (offset < 0 || size_t(offset) > text.size()) offset = ptrdiff_t(text.size());
    uint64_t line = 1;
    for (ptrdiff_t i = 0; i < offset; ++i) line += text[size_t(i)] == '\n';
    return line;
}

}  // namespace

std::string_view LocalName(std::string_view q) {
    size_t colon = q.rfind(':');
    return colon == std::string_view::npos ? q : q.substr(colon + 1);
}

void StreamXml(ZipSource& zip, const std::string& part, XmlHandler& handler) {
    XML_Parser p = XML_ParserCreate("UTF-8");
    if (!p) throw std::bad_alloc();
    std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> guard(p, XML_ParserFree);
    ExpatContext ctx{p, &handler, nullptr};
    XML_SetUserData(p, &ctx);
    XML_SetElementHandler(p, ExpatDispatch::Start, ExpatDispatch::End);
    XML_SetCharacterDataHandler(p, OnText);
    XML_SetStartDoctypeDeclHandler(p, OnDoctype);
    zip.Stream(part, [&](const char* s, size_t n, bool final) {
        if (XML_Parse(p, s, int(n), final) != XML_STATUS_OK || ctx.error || ctx.doctype) {
            if (ctx.error) std::rethrow_exception(ctx.error);
            std::string what = ctx.doctype ? "不允许文档类型声明" : XML_ErrorString(XML_GetErrorCode(p));
            zip.Fail(XmlError(part, XML_GetCurrentLineNumber(p), what));
        }
    });
}

const char* FindAtt(const char** atts, std::string_view localName) {
    for (; *atts; atts += 2)
        if (LocalName(*atts) == localName) return atts[1];
    return nullptr;
}

void LoadXml(ZipSource& zip, const std::string& part, pugi::xml_document& doc) {
    std::string text = zip.ReadAll(part);
    if (text.find("<!DOCTYPE") != std::string::npos) zip.Fail(XmlError(part, LineAt(text, ptrdiff_t(text.find("<!DOCTYPE"))), "不允许文档类型声明"));
    pugi::xml_parse_result r = doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!r) zip.Fail(XmlError(part, LineAt(text, r.offset), r.description()));
    if (!doc.document_element()) zip.Fail(XmlError(part, 1, "没有根元素"));
}

pugi::xml_node Child(pugi::xml_node n, std::string_view localName) {
    for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && LocalName(c.name()) == localName) return c;
    return {};
}

pugi::xml_attribute Att(pugi::xml_node n, std::string_view localName) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (LocalName(a.name()) == localName) return a;
    return {};
}

const char* AttText(pugi::xml_node n, std::string_view localName, const char* fallback) {
    pugi::xml_attribute a = Att(n, localName);
    return a ? a.value() : fallback;
}

bool ParseBool(std::string_view v, bool fallback) {
    if (v == "1" || v == "true") return true;
    if (v == "0" || v == "false") return false;
    return fallback;
}

std::optional<double> ParseDouble(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '+')) v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    double d = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
    if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return std::nullopt;
    return d;
}

std::optional<int64_t> ParseInt(std::string_view v) {
    if (auto d = ParseDouble(v)) {
        if (*d >= -9.2e18 && *d <= 9.2e18) return static_cast<int64_t>(*d);
    }
    return std::nullopt;
}

namespace {
bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
}  // namespace

std::string DecodeEscapes(std::string s) {
    size_t at = s.find("_x");
    if (at == std::string::npos) return s;
    auto escapeAt = [&](size_t i) -> int64_t {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && IsHex(s[i + 2]) && IsHex(s[i + 3]) &&
            IsHex(s[i + 4]) && IsHex(s[i + 5]) && s[i + 6] == '_')
            return int64_t(std::stoul(s.substr(i + 2, 4), nullptr, 16));
        return -1;
    };
    std::string out(s, 0, at);
    for (size_t i = at; i < s.size();) {
        if (int64_t cp = escapeAt(i); cp >= 0) {
            i += 7;
            // A character beyond the BMP comes as two escaped UTF-16 halves; a lone half is no character.
            if (cp >= 0xD800 && cp <= 0xDBFF && i < s.size()) {
                int64_t low = escapeAt(i);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    i += 7;
                }
            }
            AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : uint32_t(cp));
        } else {
            out += s[i++];
        }
    }
    return out;
}

}  // namespace host::xlsx
