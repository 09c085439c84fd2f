#include "entry/Session.h"

#include <filesystem>

#include "ui/Component.h"
#include "entry/TolmDll.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "workbook/DefaultSystemWorkbook.h"
#include "workbook/SystemWorkbook.h"

namespace entry {

namespace {
std::string Normalised(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}
}  // namespace

host::Workbook& OpenSystemWorkbook(host::Application& app, const std::string& systemPath) {
    std::error_code ec;
    if (!std::filesystem::exists(systemPath, ec)) return workbook::CreateDefaultSystemWorkbook(app, systemPath);
    if (host::Workbook* wb = app.Workbooks().Open(systemPath)) {
        // Anything else (a roster, say) would have its sheets hidden and its
        // cells overwritten as parameters: it is closed again untouched.
        if (!workbook::IsSystemWorkbook(*wb)) {
            wb->Close(false);
            throw host::FileError(systemPath, "不是考场编排系统的系统工作簿（没有它的参数表等服务工作表），未作任何改动");
        }
        return *wb;
    }

    const std::string fileName = std::filesystem::path(systemPath).filename().string();
    host::Workbook* open = app.Workbooks().Find(fileName);
    if (!open || Normalised(open->FullName()) != Normalised(systemPath))
        throw host::FileError(systemPath, "已经打开了另一个同名的工作簿，不能同时打开");
    open->Activate();
    return *open;
}

std::unique_ptr<ui::Component> StartSession(host::Application& app, platform::Toolkit& toolkit, const std::string& systemPath) {
    host::Application::SetRunning(&app);
    OpenSystemWorkbook(app, systemPath);
    auto component = std::make_unique<ui::Component>(toolkit);
    TolmDll dll(*component);
    dll.WKopen();
    dll.Start();
    return component;
}

}  // namespace entry
