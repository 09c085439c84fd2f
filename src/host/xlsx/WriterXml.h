#pragma once
// An append-only byte buffer for generating XML parts. Text goes through one
// of two escapers: attribute values (where a raw TAB or line feed would be
// normalised to a space by every reader, so they become character references)
// and element content (where TAB and LF are legal and kept). Both drop what
// XML 1.0 cannot carry: C0 controls other than TAB/LF/CR, U+FFFE/U+FFFF and
// bytes that are not well-formed UTF-8.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace host::xlsx {

class XmlBuffer {
public:
    XmlBuffer() = default;

    const std::string& Str() const { return buf_; }
    size_t Size() const { return buf_.size(); }
    void Clear() { buf_.clear(); }
    void Reserve(size_t n) { buf_.reserve(n); }
    std::string Take() { return std::move(buf_); }

    // Streaming: once a flush target is set, MaybeFlush hands the text so far
    // to it when it has grown past `threshold` bytes. Writers call MaybeFlush
    // only between whole elements; FlushNow hands over whatever is left.
    void SetFlush(std::function<void(std::string_view)> target, size_t threshold) {
        flush_ = std::move(target);
        threshold_ = threshold;
    }
    void MaybeFlush() {
        if (flush_ && buf_.size() >= threshold_) FlushNow();
    }
    void FlushNow() {
        if (flush_ && !buf_.empty()) {
            flush_(buf_);
            buf_.clear();
        }
    }

    // Markup written as is: the caller guarantees it is well-formed.
    XmlBuffer& Raw(std::string_view s) {
        buf_.append(s.data(), s.size());
        return *this;
    }
    XmlBuffer& Char(char c) {
        buf_.push_back(c);
        return *this;
    }

    // Escaped character data for element content.
    XmlBuffer& Text(std::string_view s);
    // Text of the format's string type (cell text, sheet names): what XML
    // cannot carry is written as the format's escape "_xHHHH_" instead of
    // being dropped (C0 controls other than TAB, LF and CR; U+FFFE, U+FFFF),
    // and a literal "_xHHHH_" has its underscore written as "_x005F_", since
    // readers decode that pattern. Bytes that are not UTF-8 are still dropped.
    XmlBuffer& CellText(std::string_view s);
    // ` name="value"` with the value escaped as CellText does, for attributes of that type.
    XmlBuffer& AttrEscaped(std::string_view name, std::string_view value);
    // Escaped attribute value (without the quotes).
    XmlBuffer& AttrValue(std::string_view s);
    // ` name="value"` with the value escaped.
    XmlBuffer& Attr(std::string_view name, std::string_view value);
    XmlBuffer& Attr(std::string_view name, int64_t value);
    XmlBuffer& AttrNumber(std::string_view name, double value);

    XmlBuffer& Int(int64_t v);
    // The shortest decimal form that reads back as the same double.
    XmlBuffer& Number(double v);

    // The XML declaration every part starts with.
    XmlBuffer& Declaration() { return Raw("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"); }

private:
    // `xstring`: characters XML cannot carry become "_xHHHH_" rather than nothing.
    void Escape(std::string_view s, bool attribute, bool xstring = false);
    void EscapeXstring(std::string_view s, bool attribute);
    void OpenAttr(std::string_view name);  // ` name="`
    std::string buf_;
    std::function<void(std::string_view)> flush_;
    size_t threshold_ = 0;
};

// Whether text needs xml:space="preserve" to keep its leading or trailing white space.
bool NeedsSpacePreserve(std::string_view s);

// The shortest round-trip decimal form of a double ("0.1", "1e+20", "-3").
std::string FormatNumber(double v);

}  // namespace host::xlsx
