#include "gui/EditHistory.h"

#include <QUndoStack>

namespace gui {

EditHistory::EditHistory(QObject* parent) : QObject(parent), stack_(new QUndoStack(this)) {}

EditHistory::~EditHistory() = default;

// Recording comes with the undo commands; until then each call only runs
// its change, so callers can already route every edit through here.
void EditHistory::ApplyToCells(const QString&, host::Worksheet&, CellBlock, const std::function<void()>& change) {
    change();
}

void EditHistory::ApplyToSheet(const QString&, host::Worksheet&, const std::function<void()>& change) { change(); }

void EditHistory::ApplyToWorkbook(const QString&, host::Workbook&, const std::function<void()>& change) { change(); }

}  // namespace gui
