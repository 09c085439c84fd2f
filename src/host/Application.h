#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/Address.h"
#include "host/LockFile.h"

namespace host {

class Workbook;
class Worksheet;
class Range;
class ContentMeasurer;

// What one PrintOut asks for.
struct PrintJob {
    bool preview = false;
    // PrToFileName: the pages go into this file instead of the printer. The
    // jobs of one run naming the same file are collected in it, in order.
    std::string toFile;
};

// Implemented by a front end (PDF, printer, preview); the host stays free of it.
class PrintService {
public:
    virtual ~PrintService() = default;
    // The sheet's pages as its page setup cuts them. Throws HostError when
    // nothing could be printed (no printer, the user cancelled).
    virtual void PrintOut(Worksheet& sheet, const PrintJob& job) = 0;
    // The jobs between BeginRun and EndRun are one command's: the printer is
    // chosen once for all of them, and a file they print into is complete
    // at EndRun.
    virtual void BeginRun() {}
    virtual void EndRun() {}
};

// Told of changes that a view may want to show.
class HostObserver {
public:
    virtual ~HostObserver() = default;
    virtual void WorkbookOpened(Workbook&) {}
    virtual void WorkbookClosing(Workbook&) {}
    virtual void WorkbookActivated(Workbook&) {}
    virtual void SheetsChanged(Workbook&) {}
    virtual void StatusBarChanged() {}
    virtual void ScreenUpdatingChanged() {}
};

class Application;

class Workbooks {
public:
    explicit Workbooks(Application* app) : app_(app) {}
    int Count() const;
    Workbook& Item(int index) const;                 // 1-based; HostError when out of range
    Workbook* Find(const std::string& name) const;   // by Name, case-insensitive
    // Opens a file; returns null and opens nothing when a workbook with the
    // same file name is open already (whatever its folder). Throws FileError.
    Workbook* Open(const std::string& fullName);
    // A new workbook "工作簿N" with one empty sheet "Sheet1"; it becomes active.
    Workbook& Add();

private:
    Application* app_;
};

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The instance a front end runs; the entry object attaches to it.
    static Application* Running();
    static void SetRunning(Application* app);

    host::Workbooks Workbooks() { return host::Workbooks(this); }
    Workbook* ActiveWorkbook() const { return active_; }
    void SetActiveWorkbook(Workbook* wb);

    bool ScreenUpdating() const { return screenUpdating_; }
    void SetScreenUpdating(bool v);
    bool DisplayAlerts() const { return displayAlerts_; }
    void SetDisplayAlerts(bool v) { displayAlerts_ = v; }
    bool DisplayStatusBar() const { return displayStatusBar_; }
    void SetDisplayStatusBar(bool v) { displayStatusBar_ = v; }
    // StatusBar: a text, or none = the host's own text (the host's False).
    const std::optional<std::string>& StatusBar() const { return statusBar_; }
    void SetStatusBar(std::optional<std::string> text);

    // Recalculates the formulas of every open workbook (see Recalc.h) and
    // returns the status-bar line naming what could not be recalculated and
    // kept its cached result ("" when everything could).
    std::string Calculate();

    static const char* PathSeparator() { return "/"; }
    static const char* Version() { return "16.0"; }

    void SetPrintService(PrintService* s) { printService_ = s; }
    PrintService* GetPrintService() const { return printService_; }
    // Fonts for fitting row heights and column widths (AutoFit.h); none: nothing is fitted.
    void SetContentMeasurer(ContentMeasurer* m) { contentMeasurer_ = m; }
    ContentMeasurer* GetContentMeasurer() const { return contentMeasurer_; }
    // Lock files (LockFile.h), off by default so that a host that only reads
    // files leaves nothing beside them. When on, a workbook opened from disk
    // or saved holds the lock file of its file until it closes, and a file
    // that another program holds is opened or saved only when the lock
    // question says so.
    void SetLockingFiles(bool on) { lockingFiles_ = on; }
    bool LockingFiles() const { return lockingFiles_; }
    // Asked when the file of a workbook to be opened (saving false) or saved
    // is held by another program; true goes on. Without a question: no.
    using LockQuestion = std::function<bool(const std::string& fullName, const LockHolder& holder, bool saving)>;
    void SetLockQuestion(LockQuestion q) { lockQuestion_ = std::move(q); }
    // The holder that was let past, or nullopt when the file is free; throws
    // LockedFileError when the question says no. `own` is the asking
    // workbook's lock (may be null).
    std::optional<LockHolder> ConfirmUnlocked(const std::string& fullName, const WorkbookLock* own, bool saving);

    void AddObserver(HostObserver* o);
    void RemoveObserver(HostObserver* o);
    const std::vector<HostObserver*>& Observers() const { return observers_; }

    // ----- used by Workbooks and Workbook -----
    std::vector<std::unique_ptr<Workbook>>& WorkbookList() { return workbooks_; }
    Workbook& AdoptWorkbook(std::unique_ptr<Workbook> wb);  // appends and activates
    void CloseWorkbook(Workbook* wb);
    int NextNewWorkbookNumber() { return ++newWorkbookCounter_; }
    // The range that Range::Copy() put on the clipboard (null when none); a sheet
    // that is deleted or a workbook that is closed empties it.
    void SetClipboard(Worksheet* ws, const Rect& r);
    Worksheet* ClipboardSheet() const { return clipboardSheet_; }
    const Rect& ClipboardRect() const { return clipboardRect_; }
    void ClearClipboardOf(Workbook* wb);
    void ClearClipboardOf(Worksheet* ws) { if (clipboardSheet_ == ws) clipboardSheet_ = nullptr; }

private:
    std::vector<std::unique_ptr<Workbook>> workbooks_;
    Workbook* active_ = nullptr;
    bool screenUpdating_ = true, displayAlerts_ = true, displayStatusBar_ = true;
    std::optional<std::string> statusBar_;
    PrintService* printService_ = nullptr;
    ContentMeasurer* contentMeasurer_ = nullptr;
    std::vector<HostObserver*> observers_;
    int newWorkbookCounter_ = 0;
    bool lockingFiles_ = false;
    LockQuestion lockQuestion_;
    Worksheet* clipboardSheet_ = nullptr;
    Rect clipboardRect_;
};

// The host's Union: one range of all areas of the given ranges (same sheet).
Range Union(const Range& a, const Range& b);

}  // namespace host
