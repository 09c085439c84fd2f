#pragma once
// 页面设置 for one sheet: paper and orientation, scale or fit to pages,
// margins (shown in centimetres, kept in points), centring, header and
// footer, print area and print title rows. Opens on the sheet's setup and
// gives back a changed copy; what the dialog does not show is kept.
#include <QDialog>

#include "host/PageSetup.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace gui {

class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    // `selection` ("$A$1:$H$20") is offered for the print area.
    PageSetupDialog(const host::PageSetup& setup, std::string selection, QWidget* parent = nullptr);

    host::PageSetup Result() const;
    // Why the entries cannot be taken (an area that is no area); empty when they can.
    QString Problem() const;

    QComboBox* paper;
    QRadioButton* portrait;
    QRadioButton* landscape;
    QRadioButton* zoom;
    QSpinBox* zoomPercent;
    QRadioButton* fit;
    QSpinBox* pagesWide;
    QSpinBox* pagesTall;
    QDoubleSpinBox* top;
    QDoubleSpinBox* bottom;
    QDoubleSpinBox* left;
    QDoubleSpinBox* right;
    QDoubleSpinBox* header;
    QDoubleSpinBox* footer;
    QCheckBox* centerHorizontally;
    QCheckBox* centerVertically;
    QComboBox* headerText;  // the centre section
    QComboBox* footerText;
    QLineEdit* printArea;
    QLineEdit* titleRows;

private:
    host::PageSetup setup_;
};

// Centimetres and points.
inline double PointsToCm(double pt) { return pt / 72.0 * 2.54; }
inline double CmToPoints(double cm) { return cm / 2.54 * 72.0; }

}  // namespace gui
