// tolm print FILE [--preview] [--pdf OUT.pdf]: the Print window's
// "打  开 (&O)" on FILE, then "打  印 (&Y)" (or "打印预览 (&P)").
// Built with the render library only (it needs Qt Gui).
#ifdef TOLM_WITH_RENDER
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/RevisionListing.h"
#include "cli/SaveStep.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "platform/ForwardingToolkit.h"
#include "render/PagedOutput.h"
#include "render/PdfPrintService.h"
#include "render/PrinterPrintService.h"
#include "ui/Component.h"
#include "ui/FrmDaYin.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

// The open dialog of the window answered with the command's FILE.
class FileArgumentToolkit : public platform::ForwardingToolkit {
public:
    FileArgumentToolkit(platform::Toolkit& inner, std::string file) : ForwardingToolkit(inner), file_(std::move(file)) {}
    std::string OpenFileDialog(const platform::OpenFileRequest& r) override {
        if (answered_) return Inner().OpenFileDialog(r);
        answered_ = true;
        return file_;
    }

private:
    std::string file_;
    bool answered_ = false;
};

// Where the command line's print jobs go: with --pdf every job into that
// one file; otherwise printing goes to the printer and each preview into a
// file of its own, 预览1.pdf, 预览2.pdf … in the output folder.
class CommandLinePrintService : public host::PrintService {
public:
    CommandLinePrintService(std::ostream& out, std::string pdf, std::string previewFolder)
        : out_(out), pdf_(std::move(pdf)), previewFolder_(std::move(previewFolder)), files_(pdf_) {}

    void PrintOut(host::Worksheet& sheet, const host::PrintJob& job) override {
        if (!pdf_.empty() || !job.toFile.empty()) return files_.PrintOut(sheet, job);
        if (!job.preview) return printer_.PrintOut(sheet, job);
        const std::string file = (fs::path(previewFolder_) / ("预览" + std::to_string(++previews_) + ".pdf")).string();
        render::PdfDocument doc(file);
        doc.AddSheet(sheet, render::PrintFieldsNow());
        if (!doc.Finish()) throw host::HostError("无法写入预览文件 " + file);
        out_ << file << '\n';
    }
    void BeginRun() override {
        files_.BeginRun();
        printer_.BeginRun();
    }
    void EndRun() override {
        const size_t before = files_.Written().size();
        files_.EndRun();
        printer_.EndRun();
        for (size_t i = before; i < files_.Written().size(); ++i)
            out_ << files_.Written()[i].file << "（" << files_.Written()[i].pages << " 页）\n";
    }
    int PrinterJobs() const { return printer_.JobsSent(); }

private:
    std::ostream& out_;
    std::string pdf_, previewFolder_;
    render::PdfPrintService files_;
    render::PrinterPrintService printer_;
    int previews_ = 0;
};

class PrintCommand : public Command {
public:
    std::string Name() const override { return "print"; }
    std::string Arguments() const override { return "FILE"; }
    std::string Summary() const override { return "打印、预览工作簿或导出 PDF（打印窗口）"; }
    std::string Details() const override {
        return "在打印窗口中用“打  开 (&O)”打开 FILE（检查与提示相同），然后单击“打  印 (&Y)”；\n"
               "带 --preview 时单击“打印预览 (&P)”。考试用表工作簿（有打印信息表）按分区逐个打印，\n"
               "各分区有自己的打印区域和顶端标题行；其他工作簿逐个工作表打印。\n"
               "  --preview        预览：每次预览写入输出文件夹（--out，默认当前文件夹）中的\n"
               "                   预览1.pdf、预览2.pdf …，并输出其路径；预览后的提问由 --answer 回答\n"
               "  --pdf OUT.pdf    本次运行的全部打印（或预览）按顺序写入一个 PDF 文件，不用打印机\n"
               "打印不保存任何工作簿：打印时设置的打印区域和标题行不写回 FILE。\n"
               "没有安装打印机而又没有 --pdf 时不打印，退出码 1。\n";
    }
    size_t MinArguments() const override { return 1; }
    size_t MaxArguments() const override { return 1; }
    std::vector<std::string> ValueOptions() const override { return {"--pdf"}; }
    std::vector<std::string> FlagOptions() const override { return {"--preview"}; }

    int Run(CommandContext& ctx, const std::vector<std::string>& args) override {
        bool preview = false;
        std::string pdf;
        for (const auto& [name, value] : ctx.options.commandOptions) {
            if (name == "--preview") preview = true;
            if (name == "--pdf") {
                if (value.empty()) throw UsageError("--pdf 需要一个文件名");
                pdf = ctx.Absolute(value);
            }
        }
        if (!preview && pdf.empty() && render::PrinterPrintService::Printers().empty()) {
            ctx.err << "tolm：没有安装打印机，未打印任何内容。要得到 PDF 文件，请加上 --pdf OUT.pdf。\n";
            return kExitStopped;
        }
        const std::string previewFolder = ctx.options.outDir.empty() ? ctx.currentFolder : ctx.Absolute(ctx.options.outDir);
        if (preview && pdf.empty()) {
            std::error_code ec;
            fs::create_directories(previewFolder, ec);
        }
        CommandLinePrintService service(ctx.out, pdf, previewFolder);
        ctx.app.SetPrintService(&service);
        struct Uninstall {
            host::Application& app;
            ~Uninstall() { app.SetPrintService(nullptr); }
        } uninstall{ctx.app};

        ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, ctx.Absolute(ctx.options.systemFile)));
        host::Application::SetRunning(&ctx.app);
        // The system workbook keeps its lock; the workbook printed is only
        // read, so another program that has it open does not stop the print.
        ctx.app.SetLockingFiles(false);
        FileArgumentToolkit toolkit(ctx.toolkit, ctx.Absolute(args[0]));
        ui::Component component(toolkit);
        entry::TolmDll(component).WKopen();
        auto& w = dynamic_cast<ui::FrmDaYin&>(ui::ShowMainWindow(component, workbook::WindowCode::Print));
        w.Command2.Click();
        if (!w.LastOutcome().IsDone()) return ReportOutcome(ctx, w.LastOutcome());
        w.Command1[preview ? ui::FrmDaYin::kPreviewButton : ui::FrmDaYin::kPrintButton].Click();
        for (const std::string& failure : w.LastReport().failures) ctx.err << "tolm：未能打印 " << failure << '\n';
        for (const std::string& sheet : w.LastReport().empty) ctx.out << "工作表“" << sheet << "”是空的，未打印。\n";
        // Printing saves nothing: the print areas it set stay out of the file.
        for (const auto& wb : ctx.app.WorkbookList())
            if (wb.get() != ctx.systemWorkbook) wb->SetSaved(true);
        const printing::PrintReport& report = w.LastReport();
        if (report.outcome.IsDone() && report.jobs == 0) ctx.out << "没有可打印的内容。\n";
        return ReportOutcome(ctx, report.outcome);
    }
};

}  // namespace

std::unique_ptr<Command> MakePrintCommand() { return std::make_unique<PrintCommand>(); }

}  // namespace cli

#endif  // TOLM_WITH_RENDER
