#include "host/Application.h"

#include <algorithm>
#include <filesystem>

#include "host/AutoFit.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/TextCompare.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"

namespace host {

namespace {
Application* g_running = nullptr;
}

int Workbooks::Count() const { return int(app_->WorkbookList().size()); }

Workbook& Workbooks::Item(int index) const {
    auto& list = app_->WorkbookList();
    if (index < 1 || size_t(index) > list.size()) throw HostError("下标越界");
    return *list[index - 1];
}

Workbook* Workbooks::Find(const std::string& name) const {
    for (auto& wb : app_->WorkbookList())
        if (EqualsIgnoreCase(wb->Name(), name)) return wb.get();
    return nullptr;
}

Workbook* Workbooks::Open(const std::string& fullName) {
    std::string file = std::filesystem::path(fullName).filename().string();
    if (Find(file)) return nullptr;  // the host cannot hold two workbooks of one name
    std::string abs = fullName;
    std::error_code ec;
    auto a = std::filesystem::absolute(fullName, ec);
    if (!ec) abs = a.lexically_normal().string();
    std::optional<LockHolder> letPast;
    if (app_->LockingFiles()) letPast = app_->ConfirmUnlocked(abs, nullptr, false);
    auto wb = xlsx::LoadWorkbook(app_, abs);
    wb->SetFileName(abs);
    wb->SetSaved(true);
    if (app_->LockingFiles()) wb->HoldLock(letPast);
    Workbook& opened = app_->AdoptWorkbook(std::move(wb));
    FitRowHeights(opened);  // rows the file left to the content
    for (HostObserver* o : app_->Observers()) o->WorkbookOpened(opened);
    return &opened;
}

Workbook& Workbooks::Add() {
    auto wb = std::make_unique<Workbook>(app_, "工作簿" + std::to_string(app_->NextNewWorkbookNumber()));
    wb->InsertSheet(0, "Sheet1", "Sheet1");
    wb->SetSaved(true);
    Workbook& added = app_->AdoptWorkbook(std::move(wb));
    for (HostObserver* o : app_->Observers()) o->WorkbookOpened(added);
    return added;
}

Application::Application() = default;

Application::~Application() {
    if (g_running == this) g_running = nullptr;
}

Application* Application::Running() { return g_running; }
void Application::SetRunning(Application* app) { g_running = app; }

void Application::SetActiveWorkbook(Workbook* wb) {
    if (active_ == wb) return;
    active_ = wb;
    if (wb)
        for (HostObserver* o : observers_) o->WorkbookActivated(*wb);
}

void Application::SetScreenUpdating(bool v) {
    if (screenUpdating_ == v) return;
    screenUpdating_ = v;
    for (HostObserver* o : observers_) o->ScreenUpdatingChanged();
}

void Application::SetStatusBar(std::optional<std::string> text) {
    statusBar_ = std::move(text);
    for (HostObserver* o : observers_) o->StatusBarChanged();
}

std::optional<LockHolder> Application::ConfirmUnlocked(const std::string& fullName, const WorkbookLock* own, bool saving) {
    std::optional<LockHolder> holder = OtherHolder(fullName, own);
    if (!holder) return std::nullopt;
    if (!lockQuestion_ || !lockQuestion_(fullName, *holder, saving)) throw LockedFileError(fullName, *holder, saving);
    return holder;
}

void Application::AddObserver(HostObserver* o) { observers_.push_back(o); }
void Application::RemoveObserver(HostObserver* o) { std::erase(observers_, o); }

Workbook& Application::AdoptWorkbook(std::unique_ptr<Workbook> wb) {
    workbooks_.push_back(std::move(wb));
    SetActiveWorkbook(workbooks_.back().get());
    return *workbooks_.back();
}

void Application::CloseWorkbook(Workbook* wb) {
    auto it = std::find_if(workbooks_.begin(), workbooks_.end(), [&](const auto& p) { return p.get() == wb; });
    if (it == workbooks_.end()) return;
    for (HostObserver* o : observers_) o->WorkbookClosing(*wb);
    ClearClipboardOf(wb);
    bool wasActive = active_ == wb;
    auto keep = std::move(*it);  // destroyed after the list no longer holds it
    workbooks_.erase(it);
    if (wasActive) {
        active_ = nullptr;
        SetActiveWorkbook(workbooks_.empty() ? nullptr : workbooks_.back().get());
    }
}

void Application::SetClipboard(Worksheet* ws, const Rect& r) {
    clipboardSheet_ = ws;
    clipboardRect_ = r;
}

void Application::ClearClipboardOf(Workbook* wb) {
    if (clipboardSheet_ && &clipboardSheet_->Parent() == wb) clipboardSheet_ = nullptr;
}

Range Union(const Range& a, const Range& b) {
    if (a.IsNothing()) return b;
    if (b.IsNothing()) return a;
    if (&a.Sheet() != &b.Sheet()) throw HostError("Union 的区域必须在同一张工作表上");
    std::vector<Rect> areas = a.Areas();
    areas.insert(areas.end(), b.Areas().begin(), b.Areas().end());
    return Range(&a.Sheet(), std::move(areas));
}

std::string Application::Calculate() {
    std::vector<std::string> kept;
    for (const auto& wb : workbooks_) {
        wb->Calculate();
        for (const std::string& k : wb->Recalculation().Kept())
            if (std::find(kept.begin(), kept.end(), k) == kept.end()) kept.push_back(k);
    }
    return KeptFormulasNotice(kept);
}

}  // namespace host
