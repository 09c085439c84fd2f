#pragma once
// 设置单元格格式: number format, alignment, font, borders and fill of the
// selected cells, opened on the format of the selection's top-left cell.
// Only what the user changed is applied to every selected cell, so cells of
// different formats keep what was not touched.
#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <optional>

#include "gui/FormatActions.h"

class QCheckBox;
class QDoubleSpinBox;
class QFontComboBox;
class QMenu;

namespace host {
class Range;
}

namespace gui {

// A combo box of the host palette (ColorIndex 1–56), with "自动" or "无颜色" first when asked.
class PaletteComboBox : public QComboBox {
    Q_OBJECT
public:
    enum class First { None, Automatic, NoColor };
    PaletteComboBox(First first, QWidget* parent = nullptr);
    int ColorIndex() const { return currentData().toInt(); }
    void SetColorIndex(int i);
};

// A menu of the palette's swatches (8 × 7) with "自动" or "无填充颜色" above;
// `chosen` gets the ColorIndex.
QMenu* MakePaletteMenu(const QString& firstEntry, int firstIndex, QWidget* parent,
                       const std::function<void(int)>& chosen);
QIcon SwatchIcon(int colorIndex);

class FormatCellsDialog : public QDialog {
    Q_OBJECT
public:
    FormatCellsDialog(const host::Range& cells, QWidget* parent = nullptr);

    // What the user changed.
    FormatEdit Edit() const;

    // The controls, by the name they carry (tests choose values through them).
    QComboBox* numberFormat;
    QComboBox* horizontal;
    QComboBox* vertical;
    QCheckBox* wrap;
    QCheckBox* shrink;
    QCheckBox* merge;
    QComboBox* fontName;
    QDoubleSpinBox* fontSize;
    QCheckBox* bold;
    QCheckBox* italic;
    QCheckBox* underline;
    PaletteComboBox* fontColor;
    QCheckBox* edges[6];  // top, bottom, left, right, inside horizontal, inside vertical
    QComboBox* lineStyle;
    PaletteComboBox* lineColor;
    PaletteComboBox* fill;

private:
    struct Initial {
        QString numberFormat;
        int horizontal, vertical;
        bool wrap, shrink, merge;
        QString fontName;
        double fontSize;
        bool bold, italic, underline;
        int fontColor, fill;
        bool edges[6];
    } initial_;
    bool bordersTouched_ = false;
};

// The size dialogs (行高, 列宽): a number in the host's unit; nullopt when cancelled.
std::optional<double> AskSize(QWidget* parent, const QString& title, const QString& label, const QString& unit,
                              double value, double min, double max);

}  // namespace gui
