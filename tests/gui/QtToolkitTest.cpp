// The Qt toolkit: the host's dialog forms translated to Qt's, the message
// box as the user sees it, the test seam, screen metrics and the seed.
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "GuiTestSupport.h"
#include "platform/RandomSource.h"

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

TEST(QtFileFilter, TranslatesTheHostFormPairByPair) {
    const std::pair<const char*, const char*> cases[] = {
        {"Excel 工作簿|*.xls;*.xlsx", "Excel 工作簿 (*.xls *.xlsx)"},
        {"描述|*.xls;*.xlsx|所有文件|*.*", "描述 (*.xls *.xlsx);;所有文件 (*.*)"},
        {"图片| *.jpg ; *.png", "图片 (*.jpg *.png)"},
        {"", ""},
        {"没有模式", ""},
    };
    for (const auto& [host, qt] : cases) EXPECT_EQ(gui::QtFileFilter(host).toStdString(), qt) << host;
}

TEST(DefaultAnswer, IsTheButtonAtTheDefaultPosition) {
    EXPECT_EQ(gui::DefaultAnswer(MsgButtons::YesNo, 2), MsgResult::No);
    EXPECT_EQ(gui::DefaultAnswer(MsgButtons::YesNo, 1), MsgResult::Yes);
    EXPECT_EQ(gui::DefaultAnswer(MsgButtons::YesNoCancel, 3), MsgResult::Cancel);
    EXPECT_EQ(gui::DefaultAnswer(MsgButtons::OK, 2), MsgResult::OK);
    EXPECT_EQ(gui::DefaultAnswer(MsgButtons::YesNoCancel, 7), MsgResult::Yes) << "out of range: the first";
}

TEST(QtToolkit, QueuedAnswersComeFirstThenTheDefaultButtonAndEveryBoxIsRecorded) {
    guitest::App();
    gui::QtToolkit tk;
    tk.SetScripted(true);
    tk.QueueAnswer(MsgResult::Yes);
    const platform::MessageBoxRequest question{"删除吗？", MsgButtons::YesNo, MsgIcon::Question, 2, "提示"};
    EXPECT_EQ(tk.MessageBox(question), MsgResult::Yes);
    EXPECT_EQ(tk.MessageBox(question), MsgResult::No);
    ASSERT_EQ(tk.Messages().size(), 2u);
    EXPECT_EQ(tk.Messages()[1].title, "提示");
    EXPECT_EQ(tk.Messages()[1].icon, MsgIcon::Question);
    EXPECT_EQ(tk.Messages()[1].answer, MsgResult::No);

    tk.QueueFile("/tmp/花名册.xlsx");
    EXPECT_EQ(tk.OpenFileDialog({"打开", "/tmp", "Excel|*.xlsx"}), "/tmp/花名册.xlsx");
    EXPECT_EQ(tk.OpenFileDialog({"打开", "/tmp", "Excel|*.xlsx"}), "") << "scripted: cancelled";
    tk.QueueInput("高一");
    EXPECT_EQ(tk.InputBox("名称", "输入", "x"), "高一");
    EXPECT_EQ(tk.InputBox("名称", "输入", "x"), "");
}

// The real box: title, icon, Chinese buttons in the host's order and the
// default button, read while it is open, then answered with a click.
TEST(QtToolkit, MessageBoxShowsTheRequestedTitleIconButtonsAndDefault) {
    guitest::App();
    gui::QtToolkit tk;
    QString title, text, defaultText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        box->button(QMessageBox::No)->click();
    });
    const MsgResult r = tk.MessageBox({"是否初始化？", MsgButtons::YesNoCancel, MsgIcon::Question, 2, "提示"});
    EXPECT_EQ(r, MsgResult::No);
    EXPECT_EQ(title, "提示");
    EXPECT_EQ(text, "是否初始化？");
    EXPECT_EQ(icon, QMessageBox::Question);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"取消", "否(&N)", "是(&Y)"}));
    EXPECT_EQ(defaultText, "否(&N)");
}

TEST(QtToolkit, ScreenMetricsAreTwipsAt1440PerLogicalInch) {
    guitest::App();
    gui::QtToolkit tk;
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_DOUBLE_EQ(tk.TwipsPerPixelX() * screen->logicalDotsPerInchX(), 1440.0);
    EXPECT_DOUBLE_EQ(tk.ScreenWidthTwips(), screen->geometry().width() * tk.TwipsPerPixelX());
    EXPECT_DOUBLE_EQ(tk.ScreenHeightTwips(), screen->geometry().height() * tk.TwipsPerPixelY());
    if (screen->logicalDotsPerInchY() == 96) EXPECT_DOUBLE_EQ(tk.TwipsPerPixelY(), 15.0);
}

TEST(QtToolkit, ASeedRepeatsTheDrawsAcrossReseeds) {
    guitest::App();
    gui::QtToolkit a(42), b(42), unseeded;
    std::vector<float> first, second;
    for (int i = 0; i < 5; ++i) first.push_back(a.Rnd());
    a.Randomize();
    for (int i = 0; i < 5; ++i) first.push_back(a.Rnd());
    for (int i = 0; i < 5; ++i) second.push_back(b.Rnd());
    b.Randomize();
    for (int i = 0; i < 5; ++i) second.push_back(b.Rnd());
    EXPECT_EQ(first, second);
    // Without a seed the generator starts where the host's does.
    platform::RandomSource host;
    EXPECT_EQ(unseeded.Rnd(), host.Rnd());
}

TEST(QtToolkit, ExplorerCommandLinesOpenTheFolder) {
    guitest::App();
    gui::QtToolkit tk;
    std::vector<std::string> opened;
    tk.SetDocumentOpener([&](const std::string& s) {
        opened.push_back(s);
        return true;
    });
    EXPECT_TRUE(tk.StartProgram("explorer.exe \"/tmp/高一 考试用表\""));
    EXPECT_TRUE(tk.OpenDocument("https://tolm.sourceforge.io/help/"));
    EXPECT_EQ(opened, (std::vector<std::string>{"/tmp/高一 考试用表", "https://tolm.sourceforge.io/help/"}));
    EXPECT_EQ(tk.HelpFileName(), "Help.html");
}
