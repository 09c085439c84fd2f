#pragma once
// A worksheet as a table model. Every answer is read from the sheet's row
// storage when the view asks for it (a row's cells are sorted by column, so
// a lookup is one binary search); nothing is copied, so a sheet of any size
// costs only what the view shows. The model covers the used range plus a
// margin to type into, and grows when a refresh finds the sheet grown.
#include <QAbstractTableModel>

#include "host/Address.h"
#include "render/StyleCache.h"

namespace host {
class Worksheet;
struct CellFormat;
}  // namespace host

namespace gui {

class EditHistory;

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Empty rows and columns offered below and right of the used range.
    static constexpr int kMarginRows = 100;
    static constexpr int kMarginColumns = 20;

    explicit SheetModel(host::Worksheet& sheet, QObject* parent = nullptr);

    host::Worksheet& Sheet() const { return sheet_; }
    // The format that the cell at a model index shows.
    const host::CellFormat& FormatAt(const QModelIndex& index) const;
    // The workbook's formats as fonts, colours and alignment, shared with the grid's painter.
    render::StyleCache& Styles() const { return styles_; }
    // Model index of a sheet cell (1-based) and back.
    static host::CellRef CellOf(const QModelIndex& index) { return {index.row() + 1, index.column() + 1}; }
    // Whether the sheet's scroll area lets the user select the cell.
    bool Selectable(int32_t row, int32_t col) const;

    // Re-reads the sheet after it changed outside the model.
    void Refresh();
    // Grows the rows and columns offered to hold the cell (1-based).
    void Reach(int32_t row, int32_t col);
    // Whether a typed entry may go into the cell; when not, EditRefused
    // tells why (a locked cell of a protected sheet).
    bool CheckEditable(int32_t row, int32_t col);
    // Typed entries become steps of this history (none: they are only made).
    void SetHistory(EditHistory* history) { history_ = history; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Whether the cell's text wraps (used by the delegate).
    static constexpr int WrapRole = Qt::UserRole + 1;

signals:
    // A typed entry the sheet refused (a locked cell of a protected sheet …).
    void EditRefused(const QString& message);
    void CellEdited(int row, int col);

private:
    void ReadBounds();
    const render::ResolvedStyle& StyleAt(int32_t row, int32_t col) const;

    host::Worksheet& sheet_;
    mutable render::StyleCache styles_;
    int rows_ = 0, cols_ = 0;
    std::vector<host::Rect> scrollArea_;
    EditHistory* history_ = nullptr;
};

}  // namespace gui
