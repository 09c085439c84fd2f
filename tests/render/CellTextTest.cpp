// Values under the number formats that rosters and the system's sheets use.
#include <gtest/gtest.h>

#include "render/CellText.h"

using host::Variant;

namespace {

struct Case {
    Variant value;
    const char* format;
    const char* shown;
};

void PrintTo(const Case& c, std::ostream* os) { *os << host::ToText(c.value) << " | " << c.format; }

class CellTextTest : public testing::TestWithParam<Case> {};

TEST_P(CellTextTest, ShowsTheValueInItsFormat) {
    const Case& c = GetParam();
    EXPECT_EQ(render::CellText(c.value, c.format).toStdString(), c.shown) << c.format;
}

INSTANTIATE_TEST_SUITE_P(General, CellTextTest,
                         testing::Values(Case{Variant(3), "General", "3"}, Case{Variant(0.5), "General", "0.5"},
                                         Case{Variant(1.0 / 3), "General", "0.333333333333333"},
                                         Case{Variant("1班"), "General", "1班"},
                                         Case{Variant::Boolean(true), "General", "TRUE"},
                                         Case{Variant::Error(host::CellError::NA), "General", "#N/A"},
                                         Case{Variant(12), "@", "12"}, Case{Variant("0012"), "@", "0012"}));

INSTANTIATE_TEST_SUITE_P(Numbers, CellTextTest,
                         testing::Values(Case{Variant(3.14159), "0.00", "3.14"}, Case{Variant(-2), "0.00", "-2.00"},
                                         Case{Variant(2.5), "0", "3"}, Case{Variant(-2.5), "0", "-3"},
                                         Case{Variant(1.005), "0.00", "1.01"}, Case{Variant(-0.001), "0.00", "0.00"},
                                         Case{Variant(1234567.891), "#,##0.00", "1,234,567.89"},
                                         Case{Variant(-1234), "#,##0", "-1,234"}, Case{Variant(999), "#,##0", "999"},
                                         Case{Variant(0.256), "0%", "26%"}, Case{Variant(0.1234), "0.0%", "12.3%"},
                                         Case{Variant(45), "0\"人\"", "45人"}, Case{Variant(3), "\"第\"0\"场\"", "第3场"},
                                         Case{Variant(7), "00", "07"}));

INSTANTIATE_TEST_SUITE_P(Sections, CellTextTest,
                         testing::Values(Case{Variant(-3), "0.00;[Red]-0.00;\"零\"", "-3.00"},
                                         Case{Variant(0), "0.00;[Red]-0.00;\"零\"", "零"},
                                         Case{Variant(4), "0.00;[Red]-0.00;\"零\"", "4.00"},
                                         Case{Variant(-5), "0;(0)", "(5)"},
                                         Case{Variant("A1"), "0;-0;0;\"编号：\"@", "编号：A1"}));

INSTANTIATE_TEST_SUITE_P(Dates, CellTextTest,
                         testing::Values(Case{Variant(45658), "yyyy/m/d", "2025/1/1"},
                                         Case{Variant(45689), "yyyy-mm-dd", "2025-02-01"},
                                         Case{Variant(45689), "yyyy\"年\"m\"月\"d\"日\"", "2025年2月1日"},
                                         Case{Variant(45689), "yyyy年m月d日", "2025年2月1日"},
                                         Case{Variant(0.5 + 5.0 / 86400), "h:mm:ss", "12:00:05"},
                                         Case{Variant(45658.75), "yyyy/m/d h:mm", "2025/1/1 18:00"},
                                         Case{Variant(45658.75), "mm:ss", "00:00"},
                                         Case{Variant(45658), "aaaa", "星期三"},
                                         Case{Variant(59), "yyyy-mm-dd", "1900-02-28"},
                                         Case{Variant(61), "yyyy-mm-dd", "1900-03-01"},
                                         Case{Variant(45658.99999999), "yyyy/m/d h:mm:ss", "2025/1/2 0:00:00"}));

TEST(IsDateFormat, TellsDatesFromNumbersAndQuotedLetters) {
    EXPECT_TRUE(render::IsDateFormat("yyyy/m/d"));
    EXPECT_TRUE(render::IsDateFormat("[$-804]yyyy年m月d日"));
    EXPECT_TRUE(render::IsDateFormat("h:mm"));
    EXPECT_FALSE(render::IsDateFormat("0.00"));
    EXPECT_FALSE(render::IsDateFormat("General"));
    EXPECT_FALSE(render::IsDateFormat("@"));
    EXPECT_FALSE(render::IsDateFormat("\"day\"0"));
    EXPECT_FALSE(render::IsDateFormat("[Red]0"));
}

}  // namespace
