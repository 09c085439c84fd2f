#include "cli/SampleRoster.h"

#include <cstdio>

#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace cli {

namespace {

// splitmix64: portable and fixed, unlike the standard library's distributions.
class SampleDraws {
public:
    explicit SampleDraws(uint64_t seed) : s_(seed) {}
    uint64_t Next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

private:
    uint64_t s_;
};

// Surnames roughly by frequency: earlier entries are drawn more often.
const std::vector<std::string> kSurnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何",
    "林", "高", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "肖", "田",
    "董", "潘", "袁", "蔡", "蒋", "余", "于", "杜", "叶", "程", "魏", "苏", "吕", "丁", "任", "卢", "姚",
    "沈", "钟", "姜", "崔", "谭", "陆", "范", "汪", "廖", "石", "金", "韦", "贾", "夏", "付", "方", "邹",
    "熊", "白", "孟", "秦", "邱", "侯", "江", "尹", "薛", "闫", "段", "雷", "龙", "黎", "史", "陶", "贺",
    "毛", "郝", "顾", "龚", "邵", "万", "覃", "武", "钱", "戴", "严", "欧阳", "司马", "上官", "诸葛"};

const std::vector<std::string> kMaleGiven = {
    "伟", "强", "磊", "军", "洋", "勇", "杰", "涛", "斌", "超", "明", "刚", "辉", "鹏", "华", "飞", "鑫",
    "波", "宇", "浩", "凯", "健", "俊", "帆", "旭", "宁", "龙", "博", "文", "轩", "睿", "泽", "晨", "阳",
    "昊", "天", "翔", "宏", "志", "建", "家", "豪", "铭", "毅", "锐", "航", "诚", "峰", "哲", "恒"};

const std::vector<std::string> kFemaleGiven = {
    "芳", "娜", "敏", "静", "丽", "艳", "娟", "霞", "秀", "婷", "雪", "慧", "颖", "琳", "晶", "佳", "雨",
    "萱", "怡", "梦", "涵", "诗", "琪", "悦", "可", "馨", "彤", "月", "瑶", "婉", "欢", "倩", "洁", "蕾",
    "玲", "薇", "璐", "楠", "菲", "妍", "雯", "岚", "茜", "露", "琴", "蓉", "燕", "丹", "晴", "琦"};

// Characters that suit either.
const std::vector<std::string> kEitherGiven = {"子", "一", "思", "嘉", "欣", "然", "雨", "佳", "文",
                                               "安", "若", "清", "晓", "心", "语", "逸", "梓", "艺"};

const std::string& Skewed(SampleDraws& d, const std::vector<std::string>& table) {
    double u = d.Unit();
    return table[static_cast<size_t>(u * u * static_cast<double>(table.size()))];
}

const std::string& Uniform(SampleDraws& d, const std::vector<std::string>& table) {
    return table[static_cast<size_t>(d.Next() % table.size())];
}

std::string GivenCharacter(SampleDraws& d, bool female) {
    if (d.Between(1, 5) == 1) return Uniform(d, kEitherGiven);
    return Uniform(d, female ? kFemaleGiven : kMaleGiven);
}

std::string DrawName(SampleDraws& d, bool female) {
    std::string name = Skewed(d, kSurnames) + GivenCharacter(d, female);
    // About one name in four has a single given character.
    if (d.Between(1, 4) != 1) name += GivenCharacter(d, female);
    return name;
}

std::string TwoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

struct GradePlan {
    const char* name;
    int entryYear;
};
const GradePlan kGrades[] = {{"高一", 2025}, {"高二", 2024}, {"高三", 2023}};

const char* const kTitles[] = {"序号", "学号", "姓名", "性别", "班级", "照片", "照片夹"};
const double kWidths[] = {6, 13, 10, 6, 8, 13, 12};  // characters

}  // namespace

std::string SampleClassName(int16_t classNumber) { return std::to_string(classNumber) + "班"; }

std::vector<SampleGrade> GenerateSampleRoster(uint64_t seed) {
    SampleDraws d(seed);
    std::vector<SampleGrade> grades;
    for (const GradePlan& plan : kGrades) {
        SampleGrade g;
        g.sheetName = plan.name;
        g.photoFolder = std::string("照片/") + plan.name;
        g.classCount = static_cast<int16_t>(d.Between(8, 12));
        for (int16_t cls = 1; cls <= g.classCount; ++cls) {
            int size = d.Between(35, 50);
            for (int n = 1; n <= size; ++n) {
                SampleCandidate c;
                bool female = d.Between(0, 1) == 1;
                c.studentNumber = std::to_string(plan.entryYear) + "01" + TwoDigits(cls) + TwoDigits(n);
                c.name = DrawName(d, female);
                c.gender = female ? "女" : "男";
                c.classNumber = cls;
                c.photoSeed = d.Next();
                g.candidates.push_back(std::move(c));
            }
        }
        grades.push_back(std::move(g));
    }
    return grades;
}

void FillRosterWorkbook(host::Workbook& wb, const std::vector<SampleGrade>& grades) {
    host::CellFormat text;
    text.numberFormat = "@";
    host::CellFormat header;
    header.font.bold = true;
    header.alignment.horizontal = "center";
    const uint32_t textStyle = wb.Styles().Intern(text);
    const uint32_t headerStyle = wb.Styles().Intern(header);

    // The old sheets go first, so the roster sheets take the code names Sheet1, Sheet2 …
    while (wb.SheetCount() > 0) wb.RemoveSheet(&wb.Sheet(1));
    for (const SampleGrade& g : grades) {
        host::Worksheet& ws = wb.InsertSheet(-1, g.sheetName, wb.NextCodeName());
        for (int col = 1; col <= 7; ++col) {
            ws.SetValueAt(1, col, kTitles[col - 1]);
            ws.SetStyleAt(1, col, headerStyle);
            ws.SetColumnWidthChars(col, kWidths[col - 1]);
        }
        int32_t row = 2;
        for (const SampleCandidate& c : g.candidates) {
            ws.SetValueAt(row, 1, row - 1);
            ws.SetValueAt(row, 2, c.studentNumber);
            ws.SetStyleAt(row, 2, textStyle);
            ws.SetValueAt(row, 3, c.name);
            ws.SetValueAt(row, 4, c.gender);
            ws.SetValueAt(row, 5, SampleClassName(c.classNumber));
            ws.SetValueAt(row, 6, c.studentNumber);
            ws.SetStyleAt(row, 6, textStyle);
            ws.SetValueAt(row, 7, g.photoFolder);
            ++row;
        }
    }
    if (wb.SheetCount() > 0) wb.SetActiveSheet(&wb.Sheet(1));
    wb.SetSaved(false);
}

}  // namespace cli
