#include "gui/QtToolkit.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTranslator>
#include <QTreeView>
#include <QUrl>

#include "gui/ToolWindowView.h"
#include "gui/WindowPlacement.h"
#include "ui/MainWindow.h"
#include "ui/Window.h"

namespace gui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

QMessageBox::Icon QtIcon(platform::MsgIcon icon) {
    switch (icon) {
        case platform::MsgIcon::Information: return QMessageBox::Information;
        case platform::MsgIcon::Question: return QMessageBox::Question;
        case platform::MsgIcon::Critical: return QMessageBox::Critical;
        case platform::MsgIcon::Exclamation: return QMessageBox::Warning;
        case platform::MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

std::vector<platform::MsgResult> ButtonOrder(platform::MsgButtons buttons) {
    switch (buttons) {
        case platform::MsgButtons::YesNo: return {platform::MsgResult::Yes, platform::MsgResult::No};
        case platform::MsgButtons::YesNoCancel: return {platform::MsgResult::Yes, platform::MsgResult::No, platform::MsgResult::Cancel};
        case platform::MsgButtons::OK: break;
    }
    return {platform::MsgResult::OK};
}

QMessageBox::StandardButton QtButton(platform::MsgResult r) {
    switch (r) {
        case platform::MsgResult::Yes: return QMessageBox::Yes;
        case platform::MsgResult::No: return QMessageBox::No;
        case platform::MsgResult::Cancel: return QMessageBox::Cancel;
        case platform::MsgResult::OK: break;
    }
    return QMessageBox::Ok;
}

// Chinese button texts, as the host's boxes show them on a Chinese system.
QString ButtonText(platform::MsgResult r) {
    switch (r) {
        case platform::MsgResult::Yes: return "是(&Y)";
        case platform::MsgResult::No: return "否(&N)";
        case platform::MsgResult::Cancel: return "取消";
        case platform::MsgResult::OK: break;
    }
    return "确定";
}
}  // namespace

QString QtFileFilter(const std::string& hostFilter) {
    // A trailing "(…)" or "（…）" holding a wildcard is the description's own pattern list.
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*[(（][^()（）]*\\*[^()（）]*[)）]\\s*$"));
    const QStringList parts = Q(hostFilter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        patterns.removeAll(QString());
        QString description = parts[i].trimmed();
        description.remove(ownPatterns);
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

bool InstallQtTranslations() {
    auto* translator = new QTranslator(qApp);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    // Dates and sizes in the dialogs as a Chinese system writes them.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    return true;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const QString& title, const QString& start,
                                            const QString& filter, bool save) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, start, filter);
    dialog->setObjectName("fileDialog");
    // The platform's own dialog would speak the desktop's language, not the program's.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setViewMode(QFileDialog::Detail);
    if (auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        // Names take the room left by size, type and date, which are never cut.
        QHeaderView* header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < header->count(); ++c) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    const QRect screen = AvailableScreenArea(parent);
    dialog->resize(QSize(860, 540).boundedTo(screen.size() * 9 / 10));
    return dialog;
}

platform::MsgResult DefaultAnswer(platform::MsgButtons buttons, int defaultButton) {
    const std::vector<platform::MsgResult> order = ButtonOrder(buttons);
    const size_t k = defaultButton >= 1 && size_t(defaultButton) <= order.size() ? size_t(defaultButton - 1) : 0;
    return order[k];
}

QtToolkit::QtToolkit(std::optional<uint32_t> seed) : random_(seed ? platform::RandomSource(*seed) : platform::RandomSource()) {}

QtToolkit::~QtToolkit() { DestroyViews(); }

void QtToolkit::DestroyViews() {
    for (auto& [w, view] : views_) delete view.data();
    views_.clear();
}

QWidget* QtToolkit::DialogParent() const {
    for (auto& [w, view] : views_)
        if (view && view->isVisible() && view->isActiveWindow()) return view;
    for (auto& [w, view] : views_)
        if (view && view->isVisible()) return view;
    return dialogParent_;
}

platform::MsgResult QtToolkit::MessageBox(const platform::MessageBoxRequest& request) {
    ShownMessage shown{request.title, request.prompt, request.buttons, request.icon};
    if (!answers_.empty()) {
        shown.answer = answers_.front();
        answers_.pop_front();
    } else if (scripted_) {
        shown.answer = DefaultAnswer(request.buttons, request.defaultButton);
    } else {
        QMessageBox box(QtIcon(request.icon), Q(request.title), Q(request.prompt), QMessageBox::NoButton,
                        DialogParent());
        const std::vector<platform::MsgResult> order = ButtonOrder(request.buttons);
        std::map<QAbstractButton*, platform::MsgResult> results;
        for (platform::MsgResult r : order) {
            QPushButton* b = box.addButton(QtButton(r));
            b->setText(ButtonText(r));
            results[b] = r;
            if (r == DefaultAnswer(request.buttons, request.defaultButton)) box.setDefaultButton(b);
        }
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.exec();
        auto it = results.find(box.clickedButton());
        // The close box answers Cancel where there is one, else the last button.
        shown.answer = it != results.end() ? it->second : order.back();
    }
    messages_.push_back(shown);
    return shown.answer;
}

std::optional<std::string> QtToolkit::Scripted(std::deque<std::string>& queue) {
    if (!queue.empty()) {
        std::string s = std::move(queue.front());
        queue.pop_front();
        return s;
    }
    if (scripted_) return std::string();  // a scripted run never shows a dialog: cancelled
    return std::nullopt;
}

std::string QtToolkit::InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    if (auto s = Scripted(inputs_)) return *s;
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), Q(title), Q(prompt), QLineEdit::Normal,
                                               Q(defaultText), &ok);
    return ok ? text.toStdString() : std::string();
}

std::string QtToolkit::RunFileDialog(const QString& title, const QString& start, const std::string& filter,
                                     bool save) {
    std::unique_ptr<QFileDialog> dialog = MakeFileDialog(DialogParent(), title, start, QtFileFilter(filter), save);
    const int result = dialogRunner_ ? dialogRunner_(*dialog) : dialog->exec();
    if (result != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().front().toStdString();
}

std::string QtToolkit::OpenFileDialog(const platform::OpenFileRequest& request) {
    if (auto s = Scripted(files_)) return *s;
    return RunFileDialog(Q(request.title), Q(request.initialFolder), request.filter, false);
}

std::string QtToolkit::SaveFileDialog(const std::string& title, const std::string& suggested) {
    if (auto s = Scripted(files_)) return *s;
    return RunFileDialog(Q(title), Q(suggested), "Excel 工作簿|*.xlsx", true);
}

std::string QtToolkit::SaveFileDialog(const platform::SaveFileRequest& request) {
    if (auto s = Scripted(files_)) return *s;
    return RunFileDialog(Q(request.title), Q(request.initialFile), request.filter, true);
}

std::string QtToolkit::ChooseItem(const std::string& title, const std::string& label, const QStringList& items) {
    if (auto s = Scripted(inputs_)) return *s;
    bool ok = false;
    const QString item = QInputDialog::getItem(DialogParent(), Q(title), Q(label), items, 0, false, &ok);
    return ok ? item.toStdString() : std::string();
}

ToolWindowView& QtToolkit::EnsureView(ui::Window& w) {
    auto it = views_.find(&w);
    if (it != views_.end() && it->second) return *it->second;
    auto* view = new ToolWindowView(w, *this);
    views_[&w] = view;
    // A main window goes into the host window's dock unless another holds it.
    if (dockSite_ && dynamic_cast<ui::MainWindow*>(&w)) {
        if (!dock_) dock_ = new ToolDock(*dockSite_);
        if (!dock_->Held()) dock_->Hold(*view);
    }
    return *view;
}

ToolWindowView* QtToolkit::ViewOf(const ui::Window& w) const {
    auto it = views_.find(&w);
    return it == views_.end() ? nullptr : it->second;
}

std::vector<ToolWindowView*> QtToolkit::Views() const {
    std::vector<ToolWindowView*> v;
    for (auto& [w, view] : views_)
        if (view) v.push_back(view);
    return v;
}

void QtToolkit::PlaceWindow(ui::Window& w, int32_t left, int32_t top) { EnsureView(w).PlaceAt(left, top); }

void QtToolkit::ShowWindow(ui::Window& w, bool modal) { EnsureView(w).ShowView(modal); }

void QtToolkit::HideWindow(ui::Window& w) {
    if (ToolWindowView* view = ViewOf(w)) view->Frame()->hide();
}

void QtToolkit::UnloadWindow(ui::Window& w) {
    auto it = views_.find(&w);
    if (it == views_.end()) return;
    ToolWindowView* view = it->second;
    views_.erase(it);
    if (!view) return;
    // The model may be collected once the event that unloaded it is over.
    view->Detach();
    view->deleteLater();
}

void QtToolkit::AfterEvent() {
    if (afterEvent_) afterEvent_();
}

bool QtToolkit::OpenDocument(const std::string& pathOrUrl) {
    opened_.push_back(pathOrUrl);
    if (opener_) return opener_(pathOrUrl);
    const QString s = Q(pathOrUrl);
    const QUrl url = s.contains("://") ? QUrl(s) : QUrl::fromLocalFile(s);
    return OpenWithDesktop(url);
}

std::string QtToolkit::HelpFileName() { return kHelpDocumentName; }

bool QtToolkit::StartProgram(const std::string& commandLine) {
    QStringList args = QProcess::splitCommand(Q(commandLine));
    if (args.isEmpty()) return false;
    // "explorer.exe FOLDER" names the platform's file manager: open the folder instead.
    if (args.front().compare("explorer.exe", Qt::CaseInsensitive) == 0 && args.size() == 2)
        return OpenDocument(args[1].toStdString());
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
}

bool OpenWithDesktop(const QUrl& url) {
    // Where xdg-open decides, its exit code tells whether a program took the
    // document: it fails at once when there is none (no browser installed),
    // which QDesktopServices, having started it, never learns.
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty()) return QDesktopServices::openUrl(url);
    auto* process = new QProcess(qApp);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    process->start(xdgOpen, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
    if (!process->waitForStarted(kOpenerAnswerMs)) return false;
    // A program that keeps running (a browser started by xdg-open) has opened it.
    if (!process->waitForFinished(kOpenerAnswerMs)) return true;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

namespace {
QScreen* Screen() { return QGuiApplication::primaryScreen(); }
// 1440 twips per logical inch.
double TwipsPerPixel(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }
}  // namespace

double QtToolkit::ScreenWidthTwips() {
    QScreen* s = Screen();
    return s ? s->geometry().width() * TwipsPerPixelX() : 0;
}

double QtToolkit::ScreenHeightTwips() {
    QScreen* s = Screen();
    return s ? s->geometry().height() * TwipsPerPixelY() : 0;
}

double QtToolkit::TwipsPerPixelX() {
    QScreen* s = Screen();
    return TwipsPerPixel(s ? s->logicalDotsPerInchX() : 96);
}

double QtToolkit::TwipsPerPixelY() {
    QScreen* s = Screen();
    return TwipsPerPixel(s ? s->logicalDotsPerInchY() : 96);
}

double QtToolkit::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    return double(now.toMSecsSinceEpoch() + qint64(now.offsetFromUtc()) * 1000) / 1000.0;
}

void QtToolkit::DoEvents() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace gui
