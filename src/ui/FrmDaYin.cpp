#include "ui/FrmDaYin.h"

#include "host/Application.h"
#include "host/HostError.h"
#include "platform/Toolkit.h"
#include "ui/Component.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"

namespace ui {

using host::ResumeNext;

std::string DefaultPdfName(const std::string& path, const std::string& name) {
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    return (path.empty() ? std::string() : path + host::Application::PathSeparator()) + stem + ".pdf";
}

FrmDaYin::FrmDaYin(ui::Component& component) : MainWindow(component, kName, "打印", workbook::WindowCode::Print) {
    Command2.On(Event::Click, [this] { Command2_Click(); });
    Command1.On(Event::Click, [this](int index) { Command1_Click(index); });
    Command3.On(Event::Click, [this] { Command3_Click(); });
}

void FrmDaYin::OnLoad() { LoadCommonSteps(); }

workbook::Outcome FrmDaYin::Command2_Click() {
    printing::ChosenWorkbook chosen;
    const workbook::Outcome o = printing::OpenWorkbookToPrint(Component().Context(), chosen);
    if (o.IsDone()) {
        Label1.SetCaption(chosen.path);
        Label2.SetCaption(chosen.name);
    }
    return Record(o);
}

// The window steps aside while the host prints or previews, with the
// host's alerts off; the screen stays live for a preview.
workbook::Outcome FrmDaYin::Run(const printing::PrintRequest& request) {
    host::Application& app = Component().App();
    ResumeNext([&] { Toolkit().HideWindow(*this); });
    ResumeNext([&] { app.SetDisplayAlerts(false); });
    if (!request.preview) ResumeNext([&] { app.SetScreenUpdating(false); });
    struct Restore {
        FrmDaYin& w;
        host::Application& app;
        bool preview;
        ~Restore() {
            if (!preview) ResumeNext([&] { app.SetScreenUpdating(true); });
            ResumeNext([&] { app.SetDisplayAlerts(true); });
            ResumeNext([&] { w.Toolkit().ShowWindow(w, false); });
        }
    } restore{*this, app, request.preview};
    report_ = printing::PrintChosenWorkbook(Component().Context(), Chosen(), request);
    return Record(report_.outcome);
}

workbook::Outcome FrmDaYin::Command1_Click(int index) {
    printing::PrintRequest request;
    request.preview = index == kPreviewButton;
    return Run(request);
}

workbook::Outcome FrmDaYin::Command3_Click() {
    printing::PrintRequest request;
    if (!Label1.Caption().empty() && !Label2.Caption().empty()) {
        request.pdfFile = Toolkit().SaveFileDialog(
            {"导出 PDF", DefaultPdfName(Label1.Caption(), Label2.Caption()), "PDF 文件 (*.pdf)|*.pdf"});
        if (request.pdfFile.empty()) return Record(workbook::Outcome::Stopped());
    }
    const workbook::Outcome o = Run(request);
    if (o.IsDone() && report_.jobs > 0)
        Toolkit().MessageBox({"已导出 PDF 文件：" + request.pdfFile, platform::MsgButtons::OK,
                              platform::MsgIcon::Information, 1, printing::kEndTitle});
    return o;
}

}  // namespace ui
