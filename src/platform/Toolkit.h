#pragma once
// Everything the tool needs from a real screen or machine. The GUI implements it
// with Qt, the command line with scripted answers, tests with fakes.
#include <cstdint>
#include <string>

namespace ui {
class Window;
}

namespace platform {

using ui::Window;

enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Critical, Exclamation };
enum class MsgResult { OK, Yes, No, Cancel };

struct MessageBoxRequest {
    std::string prompt;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1;  // 1-based: the first, second or third button
    std::string title;
};

struct OpenFileRequest {
    std::string title;
    std::string initialFolder;
    // The host's filter form: "描述|*.xls;*.xlsx|所有文件|*.*" (pairs separated by "|").
    std::string filter;
};

struct SaveFileRequest {
    std::string title;
    std::string initialFile;  // full name offered
    std::string filter;       // as OpenFileRequest::filter
};

class Toolkit {
public:
    virtual ~Toolkit() = default;

    virtual MsgResult MessageBox(const MessageBoxRequest& request) = 0;
    // The text entered; empty on cancel.
    virtual std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) = 0;
    // The file chosen (full name); empty when cancelled.
    virtual std::string OpenFileDialog(const OpenFileRequest& request) = 0;
    // The file to write (full name); empty when cancelled. A front end
    // without such a dialog cancels.
    virtual std::string SaveFileDialog(const SaveFileRequest& request) { return {}; }

    // Window placement and life: topmost at (left, top) in screen pixels, keeping its size.
    virtual void PlaceWindow(Window& w, int32_t left, int32_t top) = 0;
    virtual void ShowWindow(Window& w, bool modal) = 0;
    virtual void UnloadWindow(Window& w) = 0;
    // Hides a shown window without unloading it (Show brings it back).
    virtual void HideWindow(Window& w) {}

    // Opens a document or an address with the platform's default program;
    // returns false when nothing could open it.
    virtual bool OpenDocument(const std::string& pathOrUrl) = 0;
    // Starts a program by its command line (e.g. a file manager on a folder).
    virtual bool StartProgram(const std::string& commandLine) = 0;
    // The help document's file name beside the system workbook: a front end
    // whose platform cannot open the compiled help file names its own form.
    virtual std::string HelpFileName() { return "Help.chm"; }

    // Screen size in twips and twips per pixel.
    virtual double ScreenWidthTwips() = 0;
    virtual double ScreenHeightTwips() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;

    // Seconds since the epoch, local wall-clock time (report stamps and seeds).
    virtual double Now() = 0;
    // Uniform in [0, 1), single precision, like the host's Rnd.
    virtual float Rnd() = 0;
    // Reseeds the random source from the clock (Randomize); under a fixed seed
    // every reseed is derived from that seed, so runs repeat.
    virtual void Randomize() = 0;

    // Lets the front end show progress while a long command blocks (DoEvents).
    virtual void DoEvents() {}

    // Called by a procedure after its work and before it tells the user the
    // work is done. A front end that writes the changed workbooks itself
    // (the command line saves them after every command) writes them here, so
    // that a file that cannot be written is reported instead of a success
    // that did not happen. False when something could not be written: the
    // front end has told the user what, and the procedure reports no
    // success. A front end whose user saves (the GUI) has nothing to do.
    virtual bool SaveChanges() { return true; }
};

}  // namespace platform
