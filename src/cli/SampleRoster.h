#pragma once
// A realistic sample roster: three grades, each a roster sheet of 8–12
// classes of 35–50 candidates, with generated photos. The same seed always
// gives the same roster.
//
// Columns of every roster sheet (row 1 holds the titles, bold):
//   A 序号   1, 2, … down the sheet (number)
//   B 学号   entry year + "01" + class (2 digits) + number in class (2 digits), text "@"
//   C 姓名   surname + one or two given-name characters
//   D 性别   "男" / "女"
//   E 班级   "1班" … "12班" (text)
//   F 照片   the photo's file base name (= 学号, text "@")
//   G 照片夹 the grade's photo folder, relative to the roster: "照片/高一"
#include <cstdint>
#include <string>
#include <vector>

namespace host {
class Workbook;
}

namespace cli {

struct SampleCandidate {
    std::string studentNumber;
    std::string name;
    std::string gender;  // 男 / 女
    int16_t classNumber = 0;
    uint64_t photoSeed = 0;  // draws the candidate's photo
};

struct SampleGrade {
    std::string sheetName;    // 高一, 高二, 高三
    std::string photoFolder;  // 照片/高一 …
    int16_t classCount = 0;
    std::vector<SampleCandidate> candidates;  // class by class, in class order
};

// Used when no --seed is given, so that the sample stays the same.
constexpr uint64_t kDefaultSampleSeed = 20250901;

std::vector<SampleGrade> GenerateSampleRoster(uint64_t seed);

// "1班" for 1.
std::string SampleClassName(int16_t classNumber);

// Replaces the workbook's sheets by one roster sheet per grade.
void FillRosterWorkbook(host::Workbook& wb, const std::vector<SampleGrade>& grades);

}  // namespace cli
