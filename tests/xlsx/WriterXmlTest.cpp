// Escaping and number forms of the XML buffer the part writers share.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "host/xlsx/WriterXml.h"

using host::xlsx::FormatNumber;
using host::xlsx::NeedsSpacePreserve;
using host::xlsx::XmlBuffer;

namespace {

struct EscapeCase {
    const char* name;
    std::string input;
    std::string asText;
    std::string asAttribute;
};

TEST(WriterXml, EscapesTextAndAttributes) {
    const EscapeCase cases[] = {
        {"plain", "Sheet1", "Sheet1", "Sheet1"},
        {"markup", "a<b>&\"c'", "a&lt;b&gt;&amp;\"c'", "a&lt;b&gt;&amp;&quot;c'"},
        {"tab", "花名册\t设置", "花名册\t设置", "花名册&#9;设置"},
        {"line feed", "a\nb", "a\nb", "a&#10;b"},
        {"carriage return", "a\r\nb", "a&#13;\nb", "a&#13;&#10;b"},
        {"forbidden controls", std::string("a\x01" "b\x1f" "c\x0b", 6), "abc", "abc"},
        {"nul", std::string("a\0b", 3), "ab", "ab"},
        {"chinese kept", "考场编排", "考场编排", "考场编排"},
        {"four-byte kept", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"U+FFFE and U+FFFF dropped", "a\xEF\xBF\xBE" "b\xEF\xBF\xBF", "ab", "ab"},
        {"U+FFFD kept", "\xEF\xBF\xBD", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
        {"stray continuation dropped", "a\x80" "b", "ab", "ab"},
        {"truncated sequence dropped", "a\xE4\xB8", "a", "a"},
        {"overlong form dropped", "\xC0\xAF" "x", "x", "x"},
        {"surrogate dropped", "\xED\xA0\x80" "x", "x", "x"},
        {"beyond U+10FFFF dropped", "\xF4\x90\x80\x80" "x", "x", "x"},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.name);
        XmlBuffer text, attr;
        text.Text(c.input);
        attr.AttrValue(c.input);
        EXPECT_EQ(text.Str(), c.asText);
        EXPECT_EQ(attr.Str(), c.asAttribute);
    }
}

TEST(WriterXml, CellTextKeepsLiteralEscapePatterns) {
    const std::pair<std::string, std::string> cases[] = {
        {"_x000D_", "_x005F_x000D_"},
        {"a_x00e9_b_x12_", "a_x005F_x00e9_b_x12_"},  // only a full _xHHHH_ is a pattern
        {"__x0041__", "__x005F_x0041__"},
        {"_x005F_", "_x005F_x005F_"},
        {"no pattern _x_", "no pattern _x_"},
        {"<_x0001_>", "&lt;_x005F_x0001_&gt;"},
    };
    for (const auto& [in, want] : cases) {
        XmlBuffer b;
        b.CellText(in);
        EXPECT_EQ(b.Str(), want) << in;
    }
}

TEST(WriterXml, AttributeIsNamedAndQuoted) {
    XmlBuffer b;
    b.Raw("<x").Attr("name", "a\"b").Attr("n", int64_t(-42)).AttrNumber("w", 10.5).Raw("/>");
    EXPECT_EQ(b.Str(), "<x name=\"a&quot;b\" n=\"-42\" w=\"10.5\"/>");
}

TEST(WriterXml, NumbersReadBackExactly) {
    const double values[] = {0.1, 1.0 / 3, 123456789.123456789, 1e-300, -2.5e300, 4.9e-324, 9007199254740993.0,
                             1e15, 1e16, 1e21, -0.000123, 46000, std::nextafter(1.0, 2.0),
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::min()};
    for (double v : values) {
        std::string s = FormatNumber(v);
        EXPECT_EQ(std::strtod(s.c_str(), nullptr), v) << s;
        EXPECT_EQ(s.find_first_not_of("0123456789.e+-"), std::string::npos) << s;
    }
}

TEST(WriterXml, NumbersTakeTheirShortestForm) {
    const std::pair<double, const char*> cases[] = {
        {0, "0"}, {-0.0, "0"}, {3, "3"}, {-3, "-3"}, {0.1, "0.1"}, {10.5, "10.5"}, {1e20, "1e+20"}, {1e-7, "1e-07"}};
    for (auto [v, want] : cases) EXPECT_EQ(FormatNumber(v), want);
}

TEST(WriterXml, SpacePreserveOnlyForOuterWhiteSpace) {
    EXPECT_TRUE(NeedsSpacePreserve(" a"));
    EXPECT_TRUE(NeedsSpacePreserve("a "));
    EXPECT_TRUE(NeedsSpacePreserve("\ta"));
    EXPECT_TRUE(NeedsSpacePreserve("a\n"));
    EXPECT_FALSE(NeedsSpacePreserve("a b"));
    EXPECT_FALSE(NeedsSpacePreserve(""));
}

}  // namespace
