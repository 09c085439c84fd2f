#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/Variant.h"

using namespace host;

TEST(Variant, TextFormOfValues) {
    struct { Variant v; const char* text; } cases[] = {
        {Variant(), ""}, {Variant(0.0), "0"}, {Variant(3.0), "3"}, {Variant(-2.5), "-2.5"},
        {Variant(0.1 + 0.2), "0.3"}, {Variant(1234567890123456.0), "1.23456789012346E+15"},
        {Variant(1e-7), "1E-07"}, {Variant(100000.0), "100000"}, {Variant("001"), "001"},
        {Variant::Boolean(true), "TRUE"}, {Variant::Boolean(false), "FALSE"},
        {Variant::Error(CellError::NA), "#N/A"}, {Variant::Error(CellError::Div0), "#DIV/0!"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToText(c.v), c.text);
}

TEST(Variant, ValTakesLongestNumericPrefix) {
    struct { const char* text; double value; } cases[] = {
        {"", 0}, {"abc", 0}, {"12abc", 12}, {" 1 2 3", 123}, {"3.5", 3.5}, {"-7", -7},
        {"1.2.3", 1.2}, {".5", 0.5}, {"1e3", 1000}, {"2E-1x", 0.2}, {"1e", 1},
        {"1,000", 1}, {"&HFFFF", -1}, {"&H10", 16}, {"&O17", 15}, {"\t4\n2", 42}, {"TRUE", 0},
        {"¥5", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << c.text;
    EXPECT_DOUBLE_EQ(ToNumber(Variant("2")), 2);
    EXPECT_DOUBLE_EQ(ToNumber(Variant()), 0);
    EXPECT_DOUBLE_EQ(ToNumber(Variant::Boolean(true)), 0);
}

TEST(Variant, IntegerConversionRoundsHalfToEven) {
    EXPECT_EQ(ToInt16(0.5), 0);
    EXPECT_EQ(ToInt16(1.5), 2);
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(-2.5), -2);
    EXPECT_EQ(ToInt16(2.6), 3);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(-32768.0), -32768);
    EXPECT_THROW(ToInt16(32767.5), HostError);
    EXPECT_THROW(ToInt16(-32769.0), HostError);
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_THROW(ToInt32(2147483648.0), HostError);
    EXPECT_EQ(ToInt16(Variant("3.5 rooms")), 4);
}

TEST(Variant, IsNumericAndEquality) {
    EXPECT_TRUE(IsNumeric(Variant(" 12 ")));
    EXPECT_TRUE(IsNumeric(Variant("1,234.5")));
    EXPECT_TRUE(IsNumeric(Variant("-1e3")));
    EXPECT_TRUE(IsNumeric(Variant("&HFF")));
    EXPECT_TRUE(IsNumeric(Variant(3.0)));
    EXPECT_FALSE(IsNumeric(Variant("12a")));
    EXPECT_FALSE(IsNumeric(Variant("")));
    EXPECT_FALSE(IsNumeric(Variant::Error(CellError::NA)));
    EXPECT_EQ(Variant("a"), Variant("a"));
    EXPECT_NE(Variant("a"), Variant("A"));
    EXPECT_NE(Variant("1"), Variant(1.0));
    EXPECT_NE(Variant(), Variant(""));
    double d;
    EXPECT_TRUE(ParseTypedNumber("50%", d));
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_FALSE(ParseTypedNumber("1.2.3", d));
}

TEST(Variant, ValueKeysAreEqualExactlyWhenTheValuesAre) {
    auto key = [](std::initializer_list<Variant> values, bool fold = false) {
        std::string k;
        for (const Variant& v : values) AppendValueKey(k, v, fold);
        return k;
    };
    EXPECT_EQ(key({Variant(0.0)}), key({Variant(-0.0)}));
    EXPECT_NE(key({Variant(1.0)}), key({Variant("1")}));
    EXPECT_NE(key({Variant()}), key({Variant("")}));
    EXPECT_NE(key({Variant::Boolean(true)}), key({Variant(1.0)}));
    EXPECT_NE(key({Variant("Abc")}), key({Variant("abc")}));
    EXPECT_EQ(key({Variant("Abc")}, true), key({Variant("abc")}, true));
    // Concatenated keys of rows stay apart where the texts only split differently.
    EXPECT_NE(key({Variant("a"), Variant("bc")}), key({Variant("ab"), Variant("c")}));
    EXPECT_EQ(key({Variant("张三"), Variant(3.0)}), key({Variant("张三"), Variant(3.0)}));
}
