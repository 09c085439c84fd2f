// tolm sample DIR: a sample roster workbook with photos, for trying the tool.
#include <filesystem>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/Portrait.h"
#include "cli/SampleRoster.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

constexpr int kPhotoQuality = 85;

void EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) throw host::FileError(folder.string(), "无法创建文件夹");
}

size_t WritePhotos(const fs::path& dir, const std::vector<SampleGrade>& grades) {
    size_t count = 0;
    for (const SampleGrade& g : grades) {
        fs::path folder = dir / g.photoFolder;
        EnsureFolder(folder);
        for (const SampleCandidate& c : g.candidates) {
            RgbImage img = DrawPortrait(c.photoSeed, c.gender == "女");
            WriteBinaryFile((folder / (c.studentNumber + ".jpg")).string(), EncodeJpeg(img, kPhotoQuality));
            ++count;
        }
    }
    return count;
}

class SampleCommand : public Command {
public:
    std::string Name() const override { return "sample"; }
    std::string Arguments() const override { return "DIR"; }
    std::string Summary() const override { return "在文件夹 DIR 中生成示例花名册和照片"; }
    std::string Details() const override {
        return "写入 DIR/花名册.xlsx：工作表 高一、高二、高三，每个年级 8–12 个班，每班 35–50 人，\n"
               "列为 序号、学号、姓名、性别、班级、照片、照片夹；照片写入 DIR/照片/<年级>/<学号>.jpg。\n"
               "同一个 --seed 总是生成同样的花名册；不给 --seed 时也是固定的一份。\n"
               "DIR/花名册.xlsx 已存在时先提问是否替换。\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 1; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        const fs::path dir = ctx.Absolute(args[0]);
        const fs::path roster = dir / "花名册.xlsx";
        std::error_code ec;
        if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) throw host::FileError(dir.string(), "不是文件夹");
        if (!ctx.options.noSave && fs::exists(roster, ec) && !ConfirmReplace(ctx, roster)) {
            ctx.out << "未生成示例花名册。\n";
            return kExitStopped;
        }

        uint64_t seed = ctx.options.seed ? *ctx.options.seed : kDefaultSampleSeed;
        std::vector<SampleGrade> grades = GenerateSampleRoster(seed);
        host::Workbook& wb = ctx.app.Workbooks().Add();
        FillRosterWorkbook(wb, grades);
        wb.SetFileName(roster.string());

        for (const SampleGrade& g : grades)
            ctx.out << "示例花名册 " << g.sheetName << "：" << g.classCount << " 个班，" << g.candidates.size()
                    << " 人\n";
        if (ctx.options.noSave) return kExitDone;
        EnsureFolder(dir);
        size_t photos = WritePhotos(dir, grades);
        ctx.out << "照片：" << photos << " 张，写入 " << (dir / "照片").string() << '\n';
        return kExitDone;
    }

private:
    static bool ConfirmReplace(CommandContext& ctx, const fs::path& roster) {
        platform::MessageBoxRequest q;
        q.title = "提示";
        q.prompt = "文件“" + roster.string() + "”已存在，是否替换？";
        q.buttons = platform::MsgButtons::YesNo;
        q.icon = platform::MsgIcon::Question;
        q.defaultButton = 2;
        return ctx.toolkit.MessageBox(q) == platform::MsgResult::Yes;
    }
};

}  // namespace

std::unique_ptr<Command> MakeSampleCommand() { return std::make_unique<SampleCommand>(); }

}  // namespace cli
