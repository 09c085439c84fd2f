// Tool windows as views of their models: captions and mnemonics, the menu
// bar, widgets following the model, user input reaching the handlers,
// placement and the close box, and the layout of frames and options.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "gui/WindowLayout.h"
#include "gui/WindowPlacement.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "workbook/ParameterCells.h"

using guitest::Desktop;
using ui::FrmKCBP;
using ui::FrmSeZhi;

namespace {

QString TextOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return {};
}

// The frame box a widget sits in, by the frame's control name.
QString FrameOf(QWidget* w) {
    for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (qobject_cast<QGroupBox*>(p)) return p->objectName();
    return {};
}

}  // namespace

TEST(ToolWindowView, EveryCaptionedControlShowsItsExactCaptionWithMnemonics) {
    Desktop d;
    d.Start();
    gui::ToolWindowView* view = d.View(FrmSeZhi::kName);
    ASSERT_NE(view, nullptr);
    int captioned = 0;
    for (ui::Control* c : view->Model()->Controls()) {
        auto* cc = dynamic_cast<ui::CaptionedControl*>(c);
        if (!cc || dynamic_cast<ui::MenuItem*>(c)) continue;
        ++captioned;
        EXPECT_EQ(TextOf(view->WidgetOf(*c)).toStdString(), cc->Caption()) << c->Name() << c->Index();
    }
    EXPECT_EQ(captioned, 16) << "two frames, ten labels, four buttons";
    auto* save = qobject_cast<QPushButton*>(view->findChild<QWidget*>("Command1_2"));
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->shortcut(), QKeySequence::mnemonic("保存 (&C)"));
    EXPECT_EQ(FrameOf(save), "Frame1");
    EXPECT_EQ(FrameOf(view->findChild<QWidget*>("Command1_3")), "Frame2");

    // The menu bar in its order, the help items in their submenu.
    QStringList bar;
    for (QAction* a : view->MenuBar()->actions()) bar << a->text();
    EXPECT_EQ(bar, (QStringList{"设置(&S)", "编排(&B)", "考试用表(&M)", "打印(&D)", "帮助(&H)"}));
    QMenu* help = view->MenuBar()->actions().back()->menu();
    ASSERT_NE(help, nullptr);
    QStringList items;
    for (QAction* a : help->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"帮助文档(&W)", "联机帮助(&L)", "关于 考场编排系统(&G)"}));
    help->actions()[1]->trigger();
    guitest::Settle();
    EXPECT_EQ(d.Toolkit().OpenedDocuments().back(), ui::kOnlineHelpAddress);
}

TEST(ToolWindowView, WidgetsFollowTheModelAndInputReachesIt) {
    Desktop d;
    d.Start();
    auto* settings = d.Model<FrmSeZhi>(FrmSeZhi::kName);
    gui::ToolWindowView* view = d.View(FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    settings->Label10.SetCaption("/srv/考务");
    settings->Command1[FrmSeZhi::kSave].SetEnabled(false);
    settings->Combo3.AddItem("1");
    settings->Combo3.AddItem("2");
    settings->Combo3.SetListIndex(1);
    EXPECT_EQ(qobject_cast<QLabel*>(view->WidgetOf(settings->Label10))->text(), "/srv/考务");
    EXPECT_FALSE(view->WidgetOf(settings->Command1[FrmSeZhi::kSave])->isEnabled());
    auto* combo = qobject_cast<QComboBox*>(view->WidgetOf(settings->Combo3));
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "2");

    d.Type(FrmSeZhi::kName, settings->Text2, " 12 ");
    EXPECT_EQ(settings->Text2.Text(), " 12 ");
    combo->activated(0);
    EXPECT_EQ(settings->Combo3.Text(), "1");

    // Bad input is the model's message, shown through the toolkit.
    d.Type(FrmSeZhi::kName, settings->Text2, "3.5");
    settings->Command1[FrmSeZhi::kSave].SetEnabled(true);
    d.TakeMessages();
    d.Click(FrmSeZhi::kName, settings->Command1[FrmSeZhi::kSave]);
    EXPECT_EQ(d.TakeMessages(), std::vector<std::string>{"[提示信息…] 请输入整数且：\n同桌年级数>0；考场总数>0\n考场组数>0；字段数>=0"});
}

TEST(ToolWindowView, ArrangementWindowChecksItsFirstNumberAndLaysOutItsFrames) {
    Desktop d;
    d.Start();
    d.ChooseMenu(FrmSeZhi::kName, d.Model<FrmSeZhi>(FrmSeZhi::kName)->BinPai);
    auto* arrange = d.Model<FrmKCBP>(FrmKCBP::kName);
    gui::ToolWindowView* view = d.View(FrmKCBP::kName);
    ASSERT_NE(arrange, nullptr);
    d.TakeMessages();
    for (const char* bad : {"12.5", "-3", "abc"}) {
        d.Type(FrmKCBP::kName, arrange->Text1, bad);
        EXPECT_EQ(d.TakeMessages().back(), "[提示信息…] 请输入正整数！") << bad;
    }
    d.Type(FrmKCBP::kName, arrange->Text1, " 7 ");
    EXPECT_TRUE(d.TakeMessages().empty());

    // Options sit in their own frame; a click selects one and clears the others.
    for (const ui::OptionButton* o : {&arrange->Option1, &arrange->Option2, &arrange->Option3})
        EXPECT_EQ(FrameOf(view->WidgetOf(*o)), "Frame1") << o->Name();
    EXPECT_EQ(FrameOf(view->WidgetOf(arrange->Option6)), "Frame5");
    EXPECT_EQ(FrameOf(view->WidgetOf(arrange->Text1)), "Frame3");
    EXPECT_EQ(FrameOf(view->WidgetOf(arrange->Combo2)), "Frame4");
    d.Click(FrmKCBP::kName, arrange->Option1);
    EXPECT_TRUE(arrange->Option1.Value());
    EXPECT_FALSE(arrange->Option3.Value());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(view->WidgetOf(arrange->Option3))->isChecked());
    // Clicking the chosen option again keeps it chosen.
    d.Click(FrmKCBP::kName, arrange->Option1);
    EXPECT_TRUE(qobject_cast<QRadioButton*>(view->WidgetOf(arrange->Option1))->isChecked());
    // The none entry is shown without its TAB.
    auto* combo = qobject_cast<QComboBox*>(view->WidgetOf(arrange->Combo1));
    EXPECT_EQ(combo->itemText(combo->count() - 1), "无");
}

TEST(ToolWindowView, MovesAreReportedInTwipsAndTheCloseBoxRecordsNothing) {
    // Undocked by the user in an earlier run: the window floats at the shared position.
    guitest::ForgetPlacement();
    gui::placement::SetToolWindowDocked(false);
    Desktop d(7, true);
    d.Start();
    gui::ToolWindowView* view = d.View(FrmSeZhi::kName);
    ui::Window* model = view->Model();
    QWidget* frame = view->Frame();
    ASSERT_TRUE(frame->isWindow());
    const QRect expected = gui::FitInto(QRect(QPoint(d.Component().WindowLeft(), d.Component().WindowTop()), frame->frameGeometry().size()),
                                        gui::AvailableScreenArea(frame));
    EXPECT_EQ(frame->pos(), expected.topLeft()) << "the shared position, pulled onto the screen";
    EXPECT_GE(frame->width(), int(model->Width() / 15)) << "own design size kept";
    frame->move(100, 80);
    EXPECT_DOUBLE_EQ(model->Left(), 100 * d.Toolkit().TwipsPerPixelX());
    EXPECT_DOUBLE_EQ(model->Top(), 80 * d.Toolkit().TwipsPerPixelY());
    const int32_t left = d.Component().WindowLeft();
    const double k6 = workbook::ParameterCells(d.Component().System()).WindowCodeNumber();
    frame->close();
    guitest::Settle();
    EXPECT_FALSE(d.Component().AnyWindowOpen());
    EXPECT_TRUE(d.Toolkit().Views().empty());
    EXPECT_EQ(d.Component().WindowLeft(), left);
    EXPECT_EQ(workbook::ParameterCells(d.Component().System()).WindowCodeNumber(), k6);
}

TEST(WindowLayout, PlacesEveryControlOnceWithLabelsBesideTheirFields) {
    Desktop d;
    d.Start();
    d.ChooseMenu(FrmSeZhi::kName, d.Model<FrmSeZhi>(FrmSeZhi::kName)->BinPai);
    for (ui::Window* w : d.Component().OpenWindows()) {
        std::map<const ui::Control*, int> seen;
        for (const gui::LayoutSection& s : gui::LayoutOf(*w)) {
            if (s.frame) ++seen[s.frame];
            for (const auto& row : s.rows)
                for (ui::Control* c : row) ++seen[c];
        }
        for (ui::Control* c : w->Controls()) {
            if (dynamic_cast<ui::MenuItem*>(c)) continue;
            EXPECT_EQ(seen[c], 1) << w->Name() << " " << c->Name() << c->Index();
        }
    }
    auto* arrange = d.Model<FrmKCBP>(FrmKCBP::kName);
    ASSERT_NE(arrange, nullptr);
    bool paired = false;
    for (const gui::LayoutSection& s : gui::LayoutOf(*arrange))
        for (const auto& row : s.rows)
            if (row.size() == 2 && row[0] == &arrange->Label2 && row[1] == &arrange->Text1) paired = s.frame == &arrange->Frame3;
    EXPECT_TRUE(paired);
}
