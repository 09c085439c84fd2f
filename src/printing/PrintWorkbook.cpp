#include "printing/PrintWorkbook.h"

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/SystemNames.h"

namespace printing {

using host::ResumeNext;

namespace {

void ErrorBox(platform::Toolkit& toolkit, const std::string& text) {
    toolkit.MessageBox({text, platform::MsgButtons::OK, platform::MsgIcon::Critical, 1, kEndTitle});
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::u8path(path), ec);
}

host::Workbook* OpenByFullName(host::Application& app, const std::string& fullName) {
    for (const auto& wb : app.WorkbookList())
        if (wb->FullName() == fullName) return wb.get();
    return nullptr;
}

// Yes after the question: the user wants the preview to end.
bool AskEndPreview(platform::Toolkit& toolkit, const char* question) {
    // Yes and No, No the default (the host's 4 + 32 + 256).
    return toolkit.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Question, 2, kQuestionTitle}) ==
           platform::MsgResult::Yes;
}

// Before the chosen file can be opened again, another open workbook of the
// same file name must close. Its changes are the user's: they decide
// whether to save them, or to print nothing (false).
bool CloseSameName(const workbook::Context& ctx, host::Workbook& other) {
    if (&other == &ctx.system) {
        workbook::ShowNotice(ctx.toolkit, kSameNameRefusal);
        return false;
    }
    if (!other.Saved()) {
        const std::string where = other.Path().empty() ? std::string("尚未保存") : other.FullName();
        const platform::MsgResult answer = ctx.toolkit.MessageBox(
            {"要打印的工作簿与已打开的“" + other.Name() + "”（" + where + "）同名，须先关闭后者。是否保存对它的更改？",
             platform::MsgButtons::YesNoCancel, platform::MsgIcon::Exclamation, 1, kQuestionTitle});
        if (answer == platform::MsgResult::Cancel) return false;
        if (answer == platform::MsgResult::Yes) other.Save();  // a FileError travels to the front end; nothing closed
    }
    other.Close(false);
    return true;
}

// The service's run brackets every job of one print procedure.
class PrintRun {
public:
    explicit PrintRun(host::Application& app) : service_(app.GetPrintService()) {
        if (service_) service_->BeginRun();
    }
    ~PrintRun() {
        if (service_) ResumeNext([&] { service_->EndRun(); });
    }

private:
    host::PrintService* service_;
};

class Printer {
public:
    Printer(const workbook::Context& ctx, const PrintRequest& request, PrintReport& report)
        : ctx_(ctx), request_(request), report_(report) {}

    // One PrintOut; a refusal of the service is kept in the report, and the
    // procedure goes on as the host's resume-next would. False when the sheet
    // had nothing to print (nothing was shown or printed).
    bool PrintOut(host::Worksheet& ws) {
        try {
            if (ws.PrintOut(request_.preview, request_.pdfFile)) {
                ++report_.jobs;
                return true;
            }
            report_.empty.push_back(ws.Name());
            return false;
        } catch (const host::FileError&) {
            throw;
        } catch (const host::HostError& e) {
            report_.failures.push_back(ws.Name() + "：" + e.what());
            return true;
        }
    }

    // Partition mode over the value table V of the print-information sheet;
    // false when the user ended the preview.
    bool PrintBlocks(host::Workbook& wb, const host::Array2D& v, const std::string& infoName) {
        const int32_t lastRow = v.Rows(), lastCol = v.Columns();
        auto number = [&](int32_t r, int32_t c) { return r <= lastRow && c <= lastCol ? host::ToNumber(v(r, c)) : 0.0; };
        for (int i = 1; i <= wb.SheetCount(); ++i) {
            host::Worksheet& ws = wb.Sheet(i);
            if (ws.Name() == infoName) continue;
            int32_t c = 0;
            for (int32_t k = 2; k <= lastCol && !c; k += 2)
                if (host::ToText(v(1, k)) == ws.Name()) c = k;
            int32_t e = lastRow + 1;
            if (c) {
                for (int32_t r = 2; r <= lastRow; ++r) {
                    if (number(r, c - 1) == 0 || number(r, c) == 0) {
                        e = r;
                        break;
                    }
                }
            }
            // A sheet the information does not list, or one without blocks, prints whole.
            if (!c || e <= 3) {
                PrintOut(ws);
                continue;
            }
            const double titles = number(1, 1);
            for (int32_t r = 2; r <= e - 2; ++r) {
                int32_t s = 0, next = 0, w = 0;
                ResumeNext([&] { s = host::ToInt32(v(r, c - 1)); });
                ResumeNext([&] { next = host::ToInt32(v(r + 1, c - 1)); });
                ResumeNext([&] { w = host::ToInt32(v(r, c)); });
                ResumeNext([&] { ws.PageSetup().PrintArea = ws.Cells(s, 1).Resize(next - s - 1, w).Address(); });
                if (titles > 0) {
                    ResumeNext([&] {
                        const int32_t last = s + host::ToInt32(host::Variant(titles)) - 1;
                        ws.PageSetup().PrintTitleRows = "$" + std::to_string(s) + ":$" + std::to_string(last);
                    });
                }
                PrintOut(ws);
                if (request_.preview && AskEndPreview(ctx_.toolkit, kNextBlockQuestion)) return false;
            }
        }
        return true;
    }

    void PrintSheets(host::Workbook& wb) {
        for (int i = 1; i <= wb.SheetCount(); ++i) {
            // An empty sheet shows no preview, so there is nothing to ask about.
            if (PrintOut(wb.Sheet(i)) && request_.preview && AskEndPreview(ctx_.toolkit, kNextSheetQuestion)) return;
        }
    }

private:
    const workbook::Context& ctx_;
    const PrintRequest& request_;
    PrintReport& report_;
};

}  // namespace

std::string DeletedMessage(const std::string& name) { return "《" + name + "》已被删除！"; }

workbook::Outcome OpenWorkbookToPrint(const workbook::Context& ctx, ChosenWorkbook& chosen) {
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    const std::string file = ctx.toolkit.OpenFileDialog({kOpenDialogTitle, "", kOpenDialogFilter});
    if (file.empty()) return workbook::Outcome::Stopped();
    if (!IsFile(file)) {
        ErrorBox(ctx.toolkit, DeletedMessage(file));
        return workbook::Outcome::Stopped();
    }
    // The file open already is the one to print; the host would refuse it as a second of its name.
    host::Workbook* wb = OpenByFullName(ctx.app, file);
    if (!wb) wb = ctx.app.Workbooks().Open(file);
    if (!wb) {
        workbook::ShowNotice(ctx.toolkit, kSameNameRefusal);
        return workbook::Outcome::Stopped();
    }
    chosen = {wb->Path(), wb->Name()};
    return workbook::Outcome::Done();
}

PrintReport PrintChosenWorkbook(const workbook::Context& ctx, const ChosenWorkbook& chosen, const PrintRequest& request) {
    PrintReport report;
    host::Application& app = ctx.app;
    if (chosen.path.empty() || chosen.name.empty()) {
        ErrorBox(ctx.toolkit, kNothingChosen);
        report.outcome = workbook::Outcome::Stopped();
        return report;
    }
    const std::string fullName = chosen.path + host::Application::PathSeparator() + chosen.name;
    if (!IsFile(fullName)) {
        ErrorBox(ctx.toolkit, DeletedMessage(chosen.name));
        report.outcome = workbook::Outcome::Stopped();
        return report;
    }
    host::Workbook* wb = OpenByFullName(app, fullName);
    if (!wb) {
        if (host::Workbook* same = app.Workbooks().Find(chosen.name)) {
            if (!CloseSameName(ctx, *same)) {
                report.outcome = workbook::Outcome::Stopped();
                return report;
            }
        }
        wb = app.Workbooks().Open(fullName);
        if (!wb) {
            workbook::ShowNotice(ctx.toolkit, kSameNameRefusal);
            report.outcome = workbook::Outcome::Stopped();
            return report;
        }
    }

    const std::string infoName = std::string(workbook::kTab) + "打印";
    host::Worksheet* info = nullptr;
    for (int i = 1; i <= wb->SheetCount() && !info; ++i)
        if (wb->Sheet(i).Name() == infoName) info = &wb->Sheet(i);

    PrintRun run(app);
    Printer printer(ctx, request, report);
    if (info) {
        report.partitionMode = true;
        host::Array2D v;
        ResumeNext([&] { v = info->UsedRange().Values(); });
        printer.PrintBlocks(*wb, v, infoName);
    } else {
        printer.PrintSheets(*wb);
    }
    if (!report.failures.empty()) report.outcome = workbook::Outcome::Stopped();
    return report;
}

}  // namespace printing
