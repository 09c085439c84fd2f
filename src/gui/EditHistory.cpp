#include "gui/EditHistory.h"

#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <variant>

#include "host/Application.h"
#include "host/AutoFit.h"
#include "host/SheetSnapshot.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace gui {

namespace {

// Steps kept: each holds copies of what it reached, a whole workbook for
// the tool's commands.
constexpr int kUndoLimit = 100;
// Cells the steps may hold in all: a step that would go over it clears the
// older ones (the newest step can always be undone).
constexpr int64_t kMaxHeldCells = 2'500'000;

int64_t CellsOf(const std::variant<host::CellBlockState, host::SheetState, host::WorkbookState>& s) {
    if (const auto* cells = std::get_if<host::CellBlockState>(&s)) return int64_t(cells->cells.size());
    if (const auto* sheet = std::get_if<host::SheetState>(&s)) return sheet->CellCount();
    return std::get<host::WorkbookState>(s).CellCount();
}

bool HasSheet(const host::Workbook& wb, const host::Worksheet* ws) {
    const auto& list = wb.SheetList();
    return std::any_of(list.begin(), list.end(), [&](const auto& p) { return p.get() == ws; });
}

int64_t StoredCells(const host::Workbook& wb) {
    int64_t n = 0;
    for (const auto& ws : wb.SheetList())
        for (const host::Row& r : ws->RowsData()) n += int64_t(r.cells.size());
    return n;
}

using State = std::variant<host::CellBlockState, host::SheetState, host::WorkbookState>;

// One workbook's part of a step: what the step reached there as it was
// before the step, and (while the step is undone) as it was after it. The
// state after is taken when the step is undone, so a step on the stack holds
// one copy.
struct Part {
    host::Workbook* wb = nullptr;
    host::Worksheet* ws = nullptr;  // cells and sheet states
    State before;
    std::optional<State> after;

    // The same reach as `before`, as it is now.
    State Now() const {
        if (const auto* cells = std::get_if<host::CellBlockState>(&before))
            return HasSheet(*wb, ws) ? host::TakeCells(*ws, cells->block) : *cells;
        if (std::holds_alternative<host::SheetState>(before))
            return HasSheet(*wb, ws) ? host::SheetState::Take(*ws) : before;
        return host::WorkbookState::Take(*wb);
    }

    void Put(const State& state) const {
        if (const auto* cells = std::get_if<host::CellBlockState>(&state)) {
            // A sheet deleted since (by something that left no step) has nothing to restore.
            if (HasSheet(*wb, ws)) host::RestoreCells(*ws, *cells);
        } else if (const auto* sheet = std::get_if<host::SheetState>(&state)) {
            if (HasSheet(*wb, ws)) sheet->RestoreInto(*ws);
        } else {
            std::get<host::WorkbookState>(state).RestoreInto(*wb);
        }
    }
};

}  // namespace

class EditHistory::Step : public QUndoCommand {
public:
    Step(EditHistory& history, const QString& text) : history_(history) { setText(text); }

    std::vector<Part> parts;

    void undo() override {
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
            it->after = it->Now();
            it->Put(it->before);
        }
        Told();
    }
    void redo() override {
        // The change itself did the first redo.
        if (first_) {
            first_ = false;
            return;
        }
        for (Part& p : parts) {
            if (p.after) p.Put(*p.after);
            p.after.reset();
        }
        Told();
    }
    int64_t Cells() const {
        int64_t n = 0;
        for (const Part& p : parts) n += CellsOf(p.before) + (p.after ? CellsOf(*p.after) : 0);
        return n;
    }
    bool Reaches(const host::Workbook& wb) const {
        return std::any_of(parts.begin(), parts.end(), [&](const Part& p) { return p.wb == &wb; });
    }

private:
    void Told() {
        std::set<host::Workbook*> told;
        for (const Part& p : parts)
            if (told.insert(p.wb).second) emit history_.Restored(*p.wb);
    }

    EditHistory& history_;
    bool first_ = true;
};

EditHistory::EditHistory(QObject* parent) : QObject(parent), stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(kUndoLimit);
    connect(stack_, &QUndoStack::indexChanged, this, [this] { emit Changed(); });
}

EditHistory::~EditHistory() = default;

bool EditHistory::Reaches(const host::Workbook& wb) const {
    for (int i = 0; i < stack_->count(); ++i)
        if (static_cast<const Step*>(stack_->command(i))->Reaches(wb)) return true;
    return false;
}

void EditHistory::Forget(const host::Workbook& wb) {
    if (depth_ > 0) closing_.insert(&wb);
    if (!Reaches(wb)) return;
    stack_->clear();
    emit Changed();
}

void EditHistory::Push(Step* step) {
    irreversible_.clear();
    int64_t held = step->Cells();
    for (int i = 0; i < stack_->count(); ++i) held += static_cast<const Step*>(stack_->command(i))->Cells();
    if (held > kMaxHeldCells) stack_->clear();
    stack_->push(step);
}

namespace {

// Runs a change; on an exception puts back what was taken before and rethrows.
template <class Restore>
void RunOrRestore(const std::function<void()>& change, Restore restore) {
    try {
        change();
    } catch (...) {
        restore();
        throw;
    }
}

}  // namespace

void EditHistory::ApplyToCells(const QString& text, host::Worksheet& ws, CellBlock block,
                               const std::function<void()>& change) {
    if (depth_ > 0) return change();
    const host::Rect rect{block.top, block.left, block.bottom, block.right};
    Part part;
    part.wb = &ws.Parent();
    part.ws = &ws;
    host::CellBlockState before = host::TakeCells(ws, rect);
    ++depth_;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    RunOrRestore(change, [&] {
        if (!host::TakeCells(ws, rect).SameAs(before)) host::RestoreCells(ws, before);
    });
    host::CellBlockState after = host::TakeCells(ws, rect);
    if (after.SameAs(before)) return;
    // The rows of changed cells take the height of what they now hold.
    host::FitRowHeights(ws, rect.top, rect.bottom, host::RowFit::Edited);
    part.before = std::move(before);
    auto* step = new Step(*this, text);
    step->parts.push_back(std::move(part));
    Push(step);
}

void EditHistory::ApplyToSheet(const QString& text, host::Worksheet& ws, const std::function<void()>& change) {
    if (depth_ > 0) return change();
    host::Workbook& wb = ws.Parent();
    const uint64_t changes = wb.ChangeCount();
    host::SheetState before = host::SheetState::Take(ws);
    ++depth_;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    RunOrRestore(change, [&] { before.RestoreInto(ws); });
    if (wb.ChangeCount() == changes) return;
    // Rows fitted to their content follow moved cells and new column widths.
    host::FitRowHeights(ws, 1, int32_t(ws.RowsData().size()), host::RowFit::Automatic);
    Part part;
    part.wb = &wb;
    part.ws = &ws;
    part.before = std::move(before);
    auto* step = new Step(*this, text);
    step->parts.push_back(std::move(part));
    Push(step);
}

void EditHistory::ApplyToWorkbook(const QString& text, host::Workbook& wb, const std::function<void()>& change) {
    if (depth_ > 0) return change();
    const uint64_t changes = wb.ChangeCount();
    host::WorkbookState before = host::WorkbookState::Take(wb);
    ++depth_;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    // A command that fails leaves what it did, as the host would; the step
    // still lets the user take it back.
    try {
        change();
    } catch (...) {
        if (wb.ChangeCount() != changes) {
            host::FitRowHeights(wb);
            Part part{&wb, nullptr, std::move(before), std::nullopt};
            auto* step = new Step(*this, text);
            step->parts.push_back(std::move(part));
            Push(step);
        }
        throw;
    }
    if (wb.ChangeCount() == changes) return;
    host::FitRowHeights(wb);
    Part part{&wb, nullptr, std::move(before), std::nullopt};
    auto* step = new Step(*this, text);
    step->parts.push_back(std::move(part));
    Push(step);
}

void EditHistory::ApplyToApplication(const QString& text, host::Application& app, const std::function<void()>& change) {
    if (depth_ > 0) return change();
    struct Taken {
        host::Workbook* wb;
        uint64_t changes;
        std::optional<host::WorkbookState> before;
    };
    std::vector<Taken> taken;
    int64_t cells = 0;
    for (const auto& wb : app.WorkbookList()) cells += StoredCells(*wb);
    const bool copy = cells <= commandCellLimit_;
    for (const auto& wb : app.WorkbookList()) {
        Taken t{wb.get(), wb->ChangeCount(), std::nullopt};
        if (copy) t.before = host::WorkbookState::Take(*wb);
        taken.push_back(std::move(t));
    }
    closing_.clear();
    ++depth_;
    struct Leave {
        EditHistory& h;
        ~Leave() {
            --h.depth_;
            h.closing_.clear();
        }
    } leave{*this};
    auto record = [&] {
        auto* step = new Step(*this, text);
        bool lost = false;
        for (Taken& t : taken) {
            if (closing_.count(t.wb)) continue;
            if (t.wb->ChangeCount() == t.changes) continue;
            host::FitRowHeights(*t.wb);
            if (!t.before) {
                lost = true;
                continue;
            }
            step->parts.push_back(Part{t.wb, nullptr, std::move(*t.before), std::nullopt});
        }
        if (lost) {
            // Without the copies, earlier steps may no longer fit the workbooks.
            delete step;
            stack_->clear();
            irreversible_ = text;
            emit Changed();
        } else if (step->parts.empty()) {
            delete step;
        } else {
            Push(step);
        }
    };
    try {
        change();
    } catch (...) {
        record();
        throw;
    }
    record();
}

}  // namespace gui
