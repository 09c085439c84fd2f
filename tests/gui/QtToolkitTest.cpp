// The Qt toolkit: the host's dialog forms translated to Qt's, the message
// box as the user sees it, the test seam, screen metrics and the seed.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeView>
#include <QUrl>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "GuiTestSupport.h"
#include "platform/RandomSource.h"
#include "ui/FrmSeZhi.h"

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

TEST(QtFileFilter, TranslatesTheHostFormPairByPair) {
    const std::pair<const char*, const char*> cases[] = {
        {"Excel 工作簿|*.xls;*.xlsx", "Excel 工作簿 (*.xls *.xlsx)"},
        {"描述|*.xls;*.xlsx|所有文件|*.*", "描述 (*.xls *.xlsx);;所有文件 (*.*)"},
        {"图片| *.jpg ; *.png", "图片 (*.jpg *.png)"},
        // A description listing its own patterns shows them once, in Qt's form.
        {"Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm", "Excel 文件 (*.xls *.xlsx *.xlsm)"},
        {"图片（*.jpg）|*.jpg", "图片 (*.jpg)"},
        {"工作簿 (新版)|*.xlsx", "工作簿 (新版) (*.xlsx)"},
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

// Qt's own dialogs speak Chinese: the file dialog (Qt's, whatever the
// desktop), its filter once, its columns whole; the input box's buttons.
TEST(QtToolkit, FileDialogsAreQtsOwnInChineseWithTheFilterOnceAndWholeColumns) {
    guitest::App();
    testing_support::TempDir dir;
    for (const char* name : {"高一年级花名册（2025学年第一学期）.xlsx", "花名册.xls", "说明.txt"}) {
        QFile f(QString::fromStdString(dir.File(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    gui::QtToolkit tk;
    QStringList labels, types, buttons;
    bool native = true;
    int cut = -1;
    tk.SetDialogRunner([&](QFileDialog& dialog) {
        dialog.show();
        for (int i = 0; i < 20; ++i) guitest::Settle();
        native = !dialog.testOption(QFileDialog::DontUseNativeDialog);
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            if (auto* l = dialog.findChild<QLabel*>(name)) labels << l->text();
        if (auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo"))
            for (int i = 0; i < combo->count(); ++i) types << combo->itemText(i);
        if (auto* box = dialog.findChild<QDialogButtonBox*>("buttonBox"))
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
        if (auto* files = dialog.findChild<QTreeView*>("treeView")) {
            // Size, type and date each get at least the room their contents ask.
            cut = 0;
            for (int c = 1; c < files->header()->count(); ++c)
                if (!files->header()->isSectionHidden(c) && files->header()->sectionSize(c) < static_cast<QAbstractItemView*>(files)->sizeHintForColumn(c)) ++cut;
            EXPECT_LE(files->header()->length(), files->viewport()->width());
        }
        guitest::SaveScreenshot(dialog, "file-dialog-chinese.png");
        // The user types a name and presses 打开.
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        EXPECT_NE(name, nullptr);
        if (name) name->setText("花名册.xls");
        static_cast<QDialog&>(dialog).accept();
        return dialog.result();
    });
    const std::string chosen =
        tk.OpenFileDialog({"请选择花名册…", dir.Path().string(), "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm"});
    EXPECT_EQ(chosen, dir.File("花名册.xls"));
    EXPECT_FALSE(native);
    EXPECT_EQ(types, QStringList{"Excel 文件 (*.xls *.xlsx *.xlsm)"});
    EXPECT_EQ(cut, 0);
    ASSERT_EQ(labels.size(), 3);
    for (const QString& l : labels) EXPECT_TRUE(l.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]"))) << l.toStdString();
    EXPECT_FALSE(labels.contains("Look in:"));
    buttons.sort();
    EXPECT_TRUE(buttons.contains("取消")) << buttons.join(',').toStdString();

    // The input box's own buttons.
    QStringList inputButtons;
    QTimer::singleShot(0, [&] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        for (QAbstractButton* b : input->findChildren<QAbstractButton*>()) inputButtons << b->text();
        input->reject();
    });
    EXPECT_EQ(tk.InputBox("名称", "输入", "x"), "");
    inputButtons.sort();
    EXPECT_EQ(inputButtons, (QStringList{"取消", "确定"}));
}

// Whether the desktop's opener took a document is its exit code: a failing
// xdg-open (no browser) and a missing one are both "not opened".
TEST(QtToolkit, ADocumentIsOpenedOnlyWhenTheDesktopsOpenerSucceeds) {
    guitest::App();
    testing_support::TempDir bin;
    const QByteArray path = qgetenv("PATH");
    auto opener = [&](int exitCode) {
        const QString script = QString::fromStdString(bin.File("xdg-open"));
        QFile f(script);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("#!/bin/sh\nexit ") + QByteArray::number(exitCode) + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    qputenv("PATH", QByteArray::fromStdString(bin.Path().string()));
    opener(0);
    EXPECT_TRUE(gui::OpenWithDesktop(QUrl("https://tolm.sourceforge.io/help/")));
    opener(3);
    EXPECT_FALSE(gui::OpenWithDesktop(QUrl("https://tolm.sourceforge.io/help/")));
    QFile::remove(QString::fromStdString(bin.File("xdg-open")));
    EXPECT_FALSE(gui::OpenWithDesktop(QUrl::fromLocalFile("/tmp/Help.html"))) << "offscreen, no opener at all";
    qputenv("PATH", path);
}

// 帮助文档 and 联机帮助 on a machine where nothing opens them say so.
TEST(QtToolkit, HelpThatNothingCanOpenIsToldToTheUser) {
    guitest::Desktop d;
    d.Start();
    d.Toolkit().SetDocumentOpener(nullptr);
    testing_support::TempDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(empty.Path().string()));
    auto* settings = d.Model<ui::FrmSeZhi>(ui::FrmSeZhi::kName);
    ASSERT_NE(settings, nullptr);
    d.TakeMessages();
    d.ChooseMenu(ui::FrmSeZhi::kName, settings->LjHelp);
    d.ChooseMenu(ui::FrmSeZhi::kName, settings->HelpWord);
    qputenv("PATH", path);
    const std::vector<std::string> shown = d.TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].rfind("[考场编排系统] 无法打开联机帮助 https://tolm.sourceforge.io/help/：", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find("浏览器"), std::string::npos);
    EXPECT_EQ(shown[1].rfind("[考场编排系统] 无法打开帮助文档“" + d.dir.File("Help.html") + "”", 0), 0u) << shown[1];
    EXPECT_EQ(d.Toolkit().Messages().back().icon, MsgIcon::Exclamation);
}
