#include "host/Workbook.h"

#include <algorithm>

#include "host/Application.h"
#include "host/AutoFit.h"
#include "host/HostError.h"
#include "host/LockFile.h"
#include "host/Recalc.h"
#include "host/TextCompare.h"
#include "host/xlsx/Package.h"

namespace host {

int Sheets::Count() const { return wb_->SheetCount(); }

Worksheet& Sheets::Item(int index) const {
    if (index < 1 || index > wb_->SheetCount()) throw HostError("下标越界");
    return wb_->Sheet(index);
}

Worksheet* Sheets::Find(const std::string& name) const { return wb_->SheetByName(name); }

Worksheet& Sheets::Item(const std::string& name) const {
    Worksheet* ws = wb_->SheetByName(name);
    if (!ws) throw HostError("下标越界：没有工作表“" + name + "”");
    return *ws;
}

Worksheet& Sheets::Add(Worksheet* after, Worksheet* before) {
    int pos;
    if (after) pos = after->Index();
    else if (before) pos = before->Index() - 1;
    else pos = wb_->ActiveSheet() ? wb_->ActiveSheet()->Index() - 1 : 0;  // the host inserts before the active sheet
    Worksheet& ws = wb_->InsertSheet(pos, wb_->NextSheetName(), wb_->NextCodeName());
    wb_->SetActiveSheet(&ws);
    return ws;
}

std::vector<std::unique_ptr<Worksheet>>::const_iterator Sheets::begin() const { return wb_->SheetList().begin(); }
std::vector<std::unique_ptr<Worksheet>>::const_iterator Sheets::end() const { return wb_->SheetList().end(); }

Workbook::Workbook(Application* app, std::string name)
    : app_(app), name_(std::move(name)), recalc_(std::make_unique<Recalc>(*this)) {}
Workbook::~Workbook() = default;

std::string Workbook::FullName() const {
    return path_.empty() ? name_ : path_ + Application::PathSeparator() + name_;
}

void Workbook::SetFileName(const std::string& fullName) {
    auto slash = fullName.find_last_of('/');
    if (slash == std::string::npos) {
        path_.clear();
        name_ = fullName;
    } else {
        path_ = slash == 0 ? "/" : fullName.substr(0, slash);
        name_ = fullName.substr(slash + 1);
    }
}

Worksheet* Workbook::SheetByName(const std::string& name) const {
    for (const auto& ws : sheets_)
        if (EqualsIgnoreCase(ws->Name(), name)) return ws.get();
    return nullptr;
}

void Workbook::Activate() {
    if (app_) app_->SetActiveWorkbook(this);
}

Worksheet* Workbook::ActiveSheet() const {
    if (activeSheet_) return activeSheet_;
    return sheets_.empty() ? nullptr : sheets_.front().get();
}

void Workbook::Calculate() { recalc_->Calculate(); }

void Workbook::Save() {
    if (path_.empty()) throw HostError("工作簿“" + name_ + "”还没有保存位置");
    const bool locking = app_ && app_->LockingFiles();
    if (locking) ConfirmTarget(FullName());
    Calculate();  // the file's cached results are what the formulas give
    xlsx::SaveWorkbook(*this, FullName());
    saved_ = true;
    if (locking && !lock_) HoldLock(std::nullopt);
}

void Workbook::SaveAs(const std::string& fullName) {
    const bool locking = app_ && app_->LockingFiles();
    if (locking) ConfirmTarget(fullName);
    Calculate();
    xlsx::SaveWorkbook(*this, fullName);
    const bool moved = fullName != FullName();
    SetFileName(fullName);
    saved_ = true;
    if (locking && (moved || !lock_)) {
        lock_.reset();
        HoldLock(std::nullopt);
    }
}

void Workbook::ConfirmTarget(const std::string& target) {
    const WorkbookLock* own = lock_ && lock_->Path() == LockFileName(target) ? lock_.get() : nullptr;
    std::optional<LockHolder> holder = OtherHolder(target, own);
    if (!holder || holder->lockFile + '\n' + holder->content == letPastLock_) return;
    holder = app_->ConfirmUnlocked(target, own, true);
    if (holder) letPastLock_ = holder->lockFile + '\n' + holder->content;
}

void Workbook::HoldLock(const std::optional<LockHolder>& letPast) {
    if (letPast) letPastLock_ = letPast->lockFile + '\n' + letPast->content;
    lock_ = WorkbookLock::Acquire(FullName(), nullptr);
}

std::string Workbook::LockFile() const { return lock_ ? lock_->Path() : std::string(); }

void Workbook::Close(bool saveChanges) {
    if (saveChanges && !saved_) Save();
    if (app_) app_->CloseWorkbook(this);  // destroys *this
}

Worksheet& Workbook::InsertSheet(int pos, const std::string& name, const std::string& codeName) {
    if (SheetByName(name)) throw HostError("工作表名称“" + name + "”已被占用");
    auto ws = std::make_unique<Worksheet>(this, name, codeName);
    Worksheet* raw = ws.get();
    if (pos < 0 || size_t(pos) > sheets_.size()) sheets_.push_back(std::move(ws));
    else sheets_.insert(sheets_.begin() + pos, std::move(ws));
    // Kept sheet tabs (chart sheets) at or after the new sheet's place stay after it.
    if (pos >= 0)
        for (KeptSheetTab& t : kept_.sheetTabs)
            if (t.after >= pos) ++t.after;
    SetSaved(false);
    recalc_->StructureChanged();
    if (app_)
        for (HostObserver* o : app_->Observers()) o->SheetsChanged(*this);
    return *raw;
}

void Workbook::RemoveSheet(Worksheet* ws) {
    auto it = std::find_if(sheets_.begin(), sheets_.end(), [&](const auto& p) { return p.get() == ws; });
    if (it == sheets_.end()) return;
    size_t idx = size_t(it - sheets_.begin());
    bool wasActive = activeSheet_ == ws;
    if (app_) app_->ClearClipboardOf(ws);
    // Defined names scoped to later sheets shift with the sheet indices.
    std::erase_if(names_, [&](const DefinedName& n) { return n.localSheet == int(idx); });
    for (DefinedName& n : names_)
        if (n.localSheet > int(idx)) --n.localSheet;
    sheets_.erase(it);
    recalc_->StructureChanged();
    for (KeptSheetTab& t : kept_.sheetTabs)
        if (t.after > int(idx)) --t.after;
    if (wasActive) {
        activeSheet_ = nullptr;
        for (size_t i = std::min(idx, sheets_.size() - 1); i < sheets_.size(); --i) {
            if (sheets_[i]->Visible() == xlSheetVisible) { activeSheet_ = sheets_[i].get(); break; }
            if (i == 0) break;
        }
    }
    SetSaved(false);
    if (app_)
        for (HostObserver* o : app_->Observers()) o->SheetsChanged(*this);
}

std::string Workbook::NextCodeName() const {
    for (int n = 1;; ++n) {
        std::string c = "Sheet" + std::to_string(n);
        bool taken = std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& ws) { return ws->CodeName() == c; });
        if (!taken) return c;
    }
}

std::string Workbook::NextSheetName() const {
    for (int n = int(sheets_.size()) + 1;; ++n) {
        std::string c = "Sheet" + std::to_string(n);
        if (!SheetByName(c)) return c;
    }
}

}  // namespace host
