#include <gtest/gtest.h>

#include <map>
#include <set>

#include "cli/SampleRoster.h"
#include "host/Application.h"
#include "host/Workbook.h"

namespace {

using cli::GenerateSampleRoster;
using cli::SampleGrade;

std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : c & (0xFF >> (len + 1));
        for (int k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += size_t(len);
    }
    return out;
}

TEST(SampleRoster, ThreeGradesOfEightToTwelveClassesOfThirtyFiveToFifty) {
    auto grades = GenerateSampleRoster(cli::kDefaultSampleSeed);
    ASSERT_EQ(grades.size(), 3u);
    const char* names[] = {"高一", "高二", "高三"};
    for (size_t g = 0; g < 3; ++g) {
        const SampleGrade& grade = grades[g];
        EXPECT_EQ(grade.sheetName, names[g]);
        EXPECT_EQ(grade.photoFolder, std::string("照片/") + names[g]);
        EXPECT_GE(grade.classCount, 8);
        EXPECT_LE(grade.classCount, 12);
        std::map<int, int> sizes;
        int previousClass = 0;
        for (const auto& c : grade.candidates) {
            ++sizes[c.classNumber];
            EXPECT_GE(c.classNumber, previousClass) << "candidates are listed class by class";
            previousClass = c.classNumber;
        }
        EXPECT_EQ(int(sizes.size()), grade.classCount);
        for (auto [cls, n] : sizes) {
            EXPECT_GE(n, 35) << grade.sheetName << cls;
            EXPECT_LE(n, 50) << grade.sheetName << cls;
        }
    }
}

TEST(SampleRoster, StudentNumbersAreUniqueTenDigitTextsOfYearClassAndPlace) {
    std::set<std::string> seen;
    const char* years[] = {"2025", "2024", "2023"};
    auto grades = GenerateSampleRoster(7);
    for (size_t g = 0; g < grades.size(); ++g) {
        int place = 0, cls = 0;
        for (const auto& c : grades[g].candidates) {
            place = c.classNumber == cls ? place + 1 : 1;
            cls = c.classNumber;
            char expected[32];
            std::snprintf(expected, sizeof expected, "%s01%02d%02d", years[g], cls, place);
            EXPECT_EQ(c.studentNumber, expected);
            EXPECT_TRUE(seen.insert(c.studentNumber).second) << c.studentNumber;
        }
    }
}

TEST(SampleRoster, NamesAreTwoToFourHanCharactersAndBothGendersAreCommon) {
    for (const SampleGrade& g : GenerateSampleRoster(cli::kDefaultSampleSeed)) {
        size_t women = 0;
        std::set<std::string> distinct;
        for (const auto& c : g.candidates) {
            auto cps = CodePoints(c.name);
            EXPECT_GE(cps.size(), 2u) << c.name;
            EXPECT_LE(cps.size(), 4u) << c.name;
            for (char32_t cp : cps) EXPECT_TRUE(cp >= 0x4E00 && cp <= 0x9FFF) << c.name;
            ASSERT_TRUE(c.gender == "男" || c.gender == "女") << c.gender;
            women += c.gender == "女";
            distinct.insert(c.name);
        }
        double share = double(women) / double(g.candidates.size());
        EXPECT_GT(share, 0.35);
        EXPECT_LT(share, 0.65);
        // Names repeat now and then, as in a real school, but not wholesale.
        EXPECT_GT(distinct.size(), g.candidates.size() * 8 / 10);
    }
}

TEST(SampleRoster, TheSameSeedGivesTheSameRosterAndAnotherSeedAnother) {
    auto flatten = [](const std::vector<SampleGrade>& grades) {
        std::vector<std::string> rows;
        for (const auto& g : grades)
            for (const auto& c : g.candidates)
                rows.push_back(c.studentNumber + c.name + c.gender + std::to_string(c.photoSeed));
        return rows;
    };
    EXPECT_EQ(flatten(GenerateSampleRoster(99)), flatten(GenerateSampleRoster(99)));
    EXPECT_NE(flatten(GenerateSampleRoster(99)), flatten(GenerateSampleRoster(100)));
}

TEST(SampleRoster, FillsOneRosterSheetPerGradeInPlaceOfTheOldSheets) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetValueAt(5, 5, "旧内容");
    auto grades = GenerateSampleRoster(3);
    cli::FillRosterWorkbook(wb, grades);

    ASSERT_EQ(wb.SheetCount(), 3);
    EXPECT_FALSE(wb.Saved());
    const char* titles[] = {"序号", "学号", "姓名", "性别", "班级", "照片", "照片夹"};
    for (int s = 1; s <= 3; ++s) {
        const host::Worksheet& ws = wb.Sheet(s);
        const SampleGrade& g = grades[size_t(s - 1)];
        EXPECT_EQ(ws.Name(), g.sheetName);
        EXPECT_EQ(ws.CodeName(), "Sheet" + std::to_string(s));
        for (int col = 1; col <= 7; ++col) {
            EXPECT_EQ(ws.ValueAt(1, col), host::Variant(titles[col - 1]));
            EXPECT_TRUE(wb.Styles().Get(ws.StyleAt(1, col)).font.bold);
            EXPECT_GT(ws.ColumnWidthChars(col), 0);
        }
        const int32_t last = int32_t(g.candidates.size()) + 1;
        EXPECT_EQ(ws.UsedRect().bottom, last);
        EXPECT_EQ(ws.UsedRect().right, 7);
        for (int32_t row : {int32_t(2), last}) {
            const auto& c = g.candidates[size_t(row - 2)];
            EXPECT_EQ(ws.ValueAt(row, 1), host::Variant(row - 1));
            EXPECT_EQ(ws.ValueAt(row, 2), host::Variant(c.studentNumber));
            EXPECT_EQ(wb.Styles().Get(ws.StyleAt(row, 2)).numberFormat, "@");
            EXPECT_EQ(ws.ValueAt(row, 3), host::Variant(c.name));
            EXPECT_EQ(ws.ValueAt(row, 4), host::Variant(c.gender));
            EXPECT_EQ(ws.ValueAt(row, 5), host::Variant(cli::SampleClassName(c.classNumber)));
            EXPECT_EQ(ws.ValueAt(row, 6), host::Variant(c.studentNumber));
            EXPECT_EQ(ws.ValueAt(row, 7), host::Variant(g.photoFolder));
        }
    }
    EXPECT_EQ(wb.SheetByName("Sheet1"), nullptr) << "the old sheet is gone";
}

}  // namespace
