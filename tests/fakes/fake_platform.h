// A recording stand-in for the system, for unit tests: it keeps a transcript of what was asked
// of it, shows no windows, and lets a test set the clock and the regional settings.
#pragma once

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"

#include "base/text.h"
#include "fakes/memory_file_store.h"
#include "platform/platform.h"

namespace tivora::fakes {

struct ShownMessage {
    std::string text;
    std::string title;
    bool onTop = false;  // above every other window
};

class FakePlatform : public platform::Application,
                     public platform::Clock,
                     public platform::MessageBoxes,
                     public platform::Regional,
                     public platform::Screen,
                     public platform::Processes,
                     public platform::Shell,
                     public platform::WindowFunctions,
                     public platform::Timers,
                     public platform::Files,
                     public platform::NotifyArea,
                     public platform::GlobalMemory,
                     public platform::CommonDialogFunctions,
                     public platform::Printer,
                     public platform::Instances,
                     public platform::RunKey {
public:
    // Everything asked of the system, one line per request, in order.
    std::vector<std::string> transcript;
    std::vector<ShownMessage> messages;

    DateTime time{2026, 12, 7, 22, 59, 30};
    NumberFormat format = NumberFormat::russian();
    std::string folder = "C:\\Program Files\\Tivora";
    double twipsPerPixel = 15;

    platform::Platform platform() {
        return {*this,   *this, *this, *this, *this, *this, *this, *this, *this,
                profile, *this, *this, *this, *this, *this, *this, *this};
    }

    // Application
    std::string programFolder() override { return folder; }
    std::string exeName() override { return "Tivora"; }
    std::uintptr_t instanceHandle() override { return 0x400000; }
    std::string productName() override { return "Tivora!!! v.1.1"; }

    // Clock
    DateTime now() override { return time; }
    std::int64_t sleptMilliseconds() override { return slept; }
    std::int64_t slept = 0;  // a test adds each sleep of the machine

    // MessageBoxes
    void show(const std::string& text, const std::string& title) override {
        transcript.push_back("MessageBox " + title + ": " + text);
        messages.push_back({text, title, std::exchange(nextBoxOnTop_, false)});
        if (onMessage) {
            onMessage(messages.back());
        }
    }
    void showOnTop(const std::string& text, const std::string& title) override {
        nextBoxOnTop_ = true;
        show(text, title);
    }
    bool nextBoxOnTop_ = false;
    // Runs while a message box is "open", as the user's time in front of it.
    std::function<void(const ShownMessage&)> onMessage;

    // Regional
    NumberFormat numberFormat() override { return format; }
    std::string toAnsi(std::string_view text) override { return utf8ToCp1251(text); }
    std::string fromAnsi(std::string_view bytes) override { return cp1251ToUtf8(bytes); }

    // Screen
    double twipsPerPixelX() override { return twipsPerPixel; }
    double twipsPerPixelY() override { return twipsPerPixel; }

    // Processes: command lines started; a test sets startFailure to make the start fail.
    std::vector<std::string> started;
    int startFailure = 0;
    std::uint32_t start(const std::string& commandLine, platform::WindowStyle style) override {
        transcript.push_back("Start " + commandLine + " (style " + std::to_string(static_cast<int>(style)) +
                             ")");
        if (startFailure) {
            throw RuntimeError(startFailure);
        }
        started.push_back(commandLine);
        return 4242;
    }
    // The system's own tools started, each as "tool arguments": the real platform runs the tool
    // from the system folder, a plain start would search for it.
    std::vector<std::string> systemToolsStarted;
    std::uint32_t startSystemTool(const std::string& tool, const std::string& arguments,
                                  platform::WindowStyle style) override {
        transcript.push_back("Start system tool " + tool + " " + arguments + " (style " +
                             std::to_string(static_cast<int>(style)) + ")");
        if (startFailure) {
            throw RuntimeError(startFailure);
        }
        systemToolsStarted.push_back(tool + " " + arguments);
        return 4343;
    }

    // Shell
    std::intptr_t ShellExecuteW(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int show) override {
        transcript.push_back("ShellExecuteW " + hex(owner) + " " + verb + " " + file + " '" + parameters +
                             "' '" + directory + "' " + std::to_string(show));
        return 42;
    }

    // WindowFunctions: windows by title, as a test lays them out.
    static constexpr std::uintptr_t desktopWindow = 0x10010;
    std::map<std::string, std::uintptr_t> topLevelWindows{{"Tivora!!!", 0x20020}};
    std::uintptr_t GetDesktopWindow() override { return desktopWindow; }
    std::uintptr_t FindWindowA(const std::optional<std::string>& className,
                               const std::string& title) override {
        transcript.push_back("FindWindowA " + className.value_or("(null)") + " " + title);
        auto found = topLevelWindows.find(title);
        return found == topLevelWindows.end() ? 0 : found->second;
    }
    // The foreground as Windows grants it: while the user works in another program, a request
    // is refused unless we received the last input event or our input is joined to that
    // program's thread; one that locked the foreground (LockSetForegroundWindow) refuses all.
    bool othersInFront = false;
    bool lastInputOurs = false;
    bool foregroundLocked = false;
    bool inputJoined = false;
    bool SetForegroundWindow(std::uintptr_t window) override {
        transcript.push_back("SetForegroundWindow " + hex(window));
        if (foregroundLocked || (othersInFront && !lastInputOurs && !inputJoined)) {
            return false;
        }
        othersInFront = false;
        return true;
    }
    bool AttachThreadInput(bool attach) override {
        transcript.push_back(attach ? "AttachThreadInput" : "DetachThreadInput");
        if (attach && !othersInFront) {
            return false;
        }
        inputJoined = attach;
        return true;
    }
    void FlashWindowEx(std::uintptr_t window) override {
        transcript.push_back("FlashWindowEx " + hex(window));
    }
    bool PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override {
        transcript.push_back("PostMessageA " + hex(window) + " " + std::to_string(message) + " " +
                             std::to_string(wParam) + " " + std::to_string(lParam));
        return true;
    }

    // NotifyArea: records every call; the shell refuses as many calls as a test asks.
    std::vector<std::pair<std::uint32_t, platform::NotifyIconRecord>> notifyCalls;
    int refuseNotifyCalls = 0;
    std::vector<std::function<void()>> notifyAreaCreatedActions;
    std::uint32_t firstVersionRecordSize() override { return 88; }
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) override {
        transcript.push_back("Shell_NotifyIconA " + std::to_string(message));
        notifyCalls.emplace_back(message, record);
        if (refuseNotifyCalls > 0) {
            --refuseNotifyCalls;
            return false;
        }
        return true;
    }
    void onNotifyAreaCreated(std::function<void()> action) override {
        notifyAreaCreatedActions.push_back(std::move(action));
    }
    void recreateNotifyArea() {
        for (auto& action : notifyAreaCreatedActions) {
            action();
        }
    }

    // Timers: pending one-shots run when the test says their time has come.
    std::map<int, std::function<void()>> pendingTimers;
    int nextTimer = 1;
    int refuseOneShots = 0;                // the system refuses this many one-shots (no timer left)
    std::map<int, int> timerMilliseconds;  // each one-shot's delay, by id
    int startOnce(int milliseconds, std::function<void()> action) override {
        if (refuseOneShots > 0 && refuseOneShots-- > 0) {
            throw RuntimeError(err::OutOfMemory);
        }
        pendingTimers[nextTimer] = std::move(action);
        timerMilliseconds[nextTimer] = milliseconds;
        return nextTimer++;
    }
    void cancel(int id) override { pendingTimers.erase(id); }
    // Runs the one-shots pending now (not those they start themselves).
    void runTimers() {
        auto due = std::move(pendingTimers);
        pendingTimers.clear();
        for (auto& [id, action] : due) {
            action();
        }
    }

    // Files live in memory, keyed by their whole path (UTF-8), as the system names them through
    // its wide functions; the settings file is read and written by the portable profile functions.
    // The store's faults (a file held, a read-only folder, a full disk) reach both.
    MemoryFileStore disk;
    platform::PortableProfile profile{disk};
    int pausedMilliseconds = 0;
    bool fileExists(const std::string& path) override { return disk.files.count(path) > 0; }
    std::string file(const std::string& path) { return disk.files.count(path) ? disk.files[path] : "<none>"; }
    platform::FileError read(const std::string& path, std::string& bytes) override {
        return disk.read(path, bytes);
    }
    platform::FileError write(const std::string& path, const std::string& bytes) override {
        return disk.write(path, bytes);
    }
    platform::FileError flush(const std::string& path) override {
        disk.requests.push_back("flush " + path);
        return disk.files.count(path) ? disk.refusal(path, true) : platform::fileError::fileNotFound;
    }
    platform::FileError replace(const std::string& fresh, const std::string& target) override {
        return disk.replace(fresh, target);
    }
    void remove(const std::string& path) override { disk.remove(path); }
    std::string errorText(platform::FileError error) override {
        return "system error " + std::to_string(error);
    }
    void pause(int milliseconds) override { pausedMilliseconds += milliseconds; }

    // WindowFunctions: text drawn into the picture box's surface since it was last cleared, laid
    // out as DrawText does it, simplified: a line ends at CR LF or after charactersPerLine
    // characters, each line is pictureLineHeight pixels below the one before, and drawing stops
    // after the first line that reaches past the rectangle's bottom (cut there). Answers the
    // height of the lines drawn.
    static constexpr std::uintptr_t pictureDeviceContext = 0x50050;
    static constexpr std::uintptr_t pictureImage = 0x60060;
    struct DrawnLine {
        int top;
        std::string text;
    };
    std::vector<DrawnLine> pictureLines;
    int pictureBottom = 0;  // of the rectangle last drawn into
    int pictureLineHeight = 15;
    std::size_t charactersPerLine = 100;
    int DrawTextW(std::uintptr_t dc, const std::string& utf8, int left, int top, int right, int bottom,
                  std::uint32_t format) override {
        const std::u32string text = utf8ToUtf32(utf8);
        transcript.push_back("DrawTextW " + hex(dc) + " (" + std::to_string(left) + "," +
                             std::to_string(top) + "," + std::to_string(right) + "," +
                             std::to_string(bottom) + ") " + std::to_string(format));
        if (dc != pictureDeviceContext || text.empty()) {
            return 0;
        }
        pictureBottom = bottom;
        int y = top;
        std::size_t start = 0;
        while (start < text.size() && y + pictureLineHeight <= bottom) {
            std::size_t end = text.find(U"\r\n", start);
            std::size_t lineEnd =
                std::min({end == std::u32string::npos ? text.size() : end, start + charactersPerLine});
            pictureLines.push_back({y, utf32ToUtf8(text.substr(start, lineEnd - start))});
            y += pictureLineHeight;
            start = lineEnd == end ? end + 2 : lineEnd;
        }
        if (start < text.size()) {  // the line that reaches past the bottom, cut there
            pictureLines.push_back(
                {y, utf32ToUtf8(
                        text.substr(start, std::min(charactersPerLine, text.find(U"\r\n", start) - start)))});
            y += pictureLineHeight;
        }
        return y - top;
    }

    // GlobalMemory: blocks of bytes by handle.
    std::map<std::uintptr_t, std::vector<std::uint8_t>> blocks;
    std::uintptr_t nextBlock = 0x1000;
    bool lockFails = false;
    std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) override {
        transcript.push_back("GlobalAlloc " + hex(flags) + " " + std::to_string(bytes));
        blocks[nextBlock] = std::vector<std::uint8_t>(bytes, 0);
        return nextBlock++;
    }
    void* GlobalLock(std::uintptr_t block) override {
        auto found = blocks.find(block);
        return lockFails || found == blocks.end() ? nullptr : found->second.data();
    }
    bool GlobalUnlock(std::uintptr_t) override { return true; }
    std::uintptr_t GlobalFree(std::uintptr_t block) override { return blocks.erase(block) ? 0 : block; }
    std::size_t GlobalSize(std::uintptr_t block) override {
        auto found = blocks.find(block);
        return found == blocks.end() ? 0 : found->second.size();
    }
    void moveMemory(void* destination, const void* source, std::size_t length) override {
        std::memmove(destination, source, length);
    }

    // CommonDialogFunctions: the user's answers as a test gives them; none: cancel.
    std::function<bool(platform::PrintDialogRecord&)> printDialog;
    std::function<bool(platform::OpenFileRecord&)> openDialog;
    std::function<bool(platform::SaveFileRecord&)> saveDialog;
    std::vector<platform::PrintDialogRecord> printDialogs;
    std::vector<std::string> existingFiles;  // bare names that a directory search finds
    // The records' sizes as the system declares them (as a 32-bit program has them, unless a test
    // says otherwise).
    std::uint32_t printDialogBytes = platform::records::printDialogBytes;
    std::uint32_t openFileBytes = platform::records::openFileBytes;
    std::uint32_t printDialogRecordSize() override { return printDialogBytes; }
    bool PrintDlgW(platform::PrintDialogRecord& record) override {
        printDialogs.push_back(record);
        return printDialog ? printDialog(record) : false;
    }
    // The dialog's answer when the user confirms: the copies in the settings block (as many as the
    // driver makes) where asked for there, else in the record; a names block with the device given.
    bool confirmPrintDialog(platform::PrintDialogRecord& record, const std::string& device, int copies = 1,
                            bool collate = true) {
        const bool inSettings = record.Flags & platform::PD_USEDEVMODECOPIESANDCOLLATE;
        blocks.at(record.hDevMode)[platform::records::dmCopies] =
            static_cast<std::uint8_t>(inSettings ? std::min(copies, deviceCopies) : 1);
        blocks.at(record.hDevMode)[platform::records::dmCollate] = inSettings && collate;
        record.nCopies = static_cast<std::uint16_t>(inSettings ? 1 : copies);
        record.Flags |= !inSettings && collate ? platform::PD_COLLATE : 0;
        GlobalFree(record.hDevNames);
        auto unit = [](std::size_t v) {
            return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        };
        // No driver name (at 4), the device's (at 5), no port name after it.
        std::string names = unit(4) + unit(5) + unit(6 + utf8ToUtf16(device).size()) + unit(0) + unit(0) +
                            utf8ToUtf16Le(device) + unit(0) + unit(0);
        record.hDevNames = GlobalAlloc(platform::globalMoveable, names.size());
        std::copy(names.begin(), names.end(), blocks.at(record.hDevNames).begin());
        return true;
    }
    std::uint32_t openFileRecordSize() override { return openFileBytes; }
    bool GetOpenFileNameW(platform::OpenFileRecord& record) override {
        return openDialog ? openDialog(record) : false;
    }
    bool GetSaveFileNameW(platform::SaveFileRecord& record) override {
        return saveDialog ? saveDialog(record) : false;
    }
    std::vector<std::string> findFiles(const std::string& pattern) override {
        std::vector<std::string> found;
        for (const auto& name : existingFiles) {
            if (pattern.size() >= name.size() && pattern.substr(pattern.size() - name.size()) == name) {
                found.push_back(name);
            }
        }
        return found;
    }

    // Printer: installed printers, the current one's settings, and the documents printed, each on
    // the printer it was begun on, its sheets holding the lines of the picture painted whole onto
    // them. A test makes it fail (482) at the nth time a step is asked of it.
    struct InstalledPrinter {
        std::string device, driver, port;
    };
    std::vector<InstalledPrinter> printers{{"PDF", "CUPS-PDF", "CUPS:PDF"}};
    std::size_t current = 0;
    int orientation = 1, paperSize = 9, duplex = 1, copies = 1, printQuality = -4, colorMode = 2,
        paperBin = 7, collate = 0, deviceCopies = 9999;
    std::string outputFile;  // where the documents go; empty: the printer
    double width = 11906;
    bool printerScalePixels = false;
    // A4 at 600 dots per inch less a sixth of an inch at the top and at the bottom.
    double printableHeight = 6816;
    double printerTwipsPerPixel = 2.4;

    enum class DocumentState { Open, Ended, Abandoned };
    struct Document {
        std::string printer;
        std::vector<std::vector<std::string>> sheets;
        DocumentState state = DocumentState::Open;
    };
    std::vector<Document> documents;
    struct Paint {
        double x1, y1, width1, height1;
        int x2, y2, width2, height2;
    };
    std::vector<Paint> paints;
    std::vector<std::string> cutLines;  // lines a paint cut in two above the picture's bottom

    enum class PrinterStep { None, Start, Page, Paint, End };
    PrinterStep failAt = PrinterStep::None;
    int failOnTime = 1;  // the nth time the step is asked
    std::map<PrinterStep, int> stepsAsked;

    InstalledPrinter& currentPrinter() {
        if (printers.empty()) {
            throw RuntimeError(err::PrinterError);
        }
        return printers.at(current);
    }
    // The document open now, if any.
    Document* openDocument() {
        return !documents.empty() && documents.back().state == DocumentState::Open ? &documents.back()
                                                                                   : nullptr;
    }
    // The sheets of the last document begun.
    const std::vector<std::vector<std::string>>& sheets() {
        static const std::vector<std::vector<std::string>> none;
        return documents.empty() ? none : documents.back().sheets;
    }
    std::vector<std::string> installedPrinters() override {
        std::vector<std::string> names;
        for (const auto& p : printers) {
            names.push_back(p.device);
        }
        return names;
    }
    void makeCurrent(std::size_t index) override {
        transcript.push_back("makeCurrent " + std::to_string(index));
        current = index;
    }
    std::string DeviceName() override { return currentPrinter().device; }
    std::string DriverName() override { return currentPrinter().driver; }
    std::string Port() override { return currentPrinter().port; }
    int Orientation() override { return currentPrinter(), orientation; }
    void setOrientation(int v) override { orientation = v; }
    int PaperSize() override { return paperSize; }
    void setPaperSize(int v) override { paperSize = v; }
    double Width() override { return width; }
    int Duplex() override { return duplex; }
    void setDuplex(int v) override { duplex = v; }
    void setCopies(int v) override { copies = v; }
    void setCollate(int v) override { collate = v; }
    int DeviceCopies() override { return currentPrinter(), deviceCopies; }
    void setOutputFile(const std::string& path) override { outputFile = path; }
    void setPrintQuality(int v) override { printQuality = v; }
    void setColorMode(int v) override { colorMode = v; }
    void setPaperBin(int v) override { paperBin = v; }
    void setScaleModePixels() override { printerScalePixels = true; }
    double ScaleHeight() override { return currentPrinter(), printableHeight; }
    double TwipsPerPixelX() override { return printerTwipsPerPixel; }
    double TwipsPerPixelY() override { return printerTwipsPerPixel; }
    void PaintPicture(std::uintptr_t image, double x1, double y1, double width1, double height1, int x2,
                      int y2, int width2, int height2) override {
        transcript.push_back("PaintPicture " + hex(image) + " " + std::to_string(width2) + "x" +
                             std::to_string(height2) + " from " + std::to_string(x2) + "," +
                             std::to_string(y2) + " at " + std::to_string(static_cast<int>(x1)) + "," +
                             std::to_string(static_cast<int>(y1)));
        if (!openDocument()) {
            asked(PrinterStep::Start);
            documents.push_back({currentPrinter().device, {{}}});
        }
        asked(PrinterStep::Paint);
        paints.push_back({x1, y1, width1, height1, x2, y2, width2, height2});
        for (const auto& line : pictureLines) {
            bool whole = line.top >= y2 && line.top + pictureLineHeight <= y2 + height2;
            bool overlaps = line.top < y2 + height2 && line.top + pictureLineHeight > y2;
            bool cutByThePicture =
                line.top + pictureLineHeight > pictureBottom && y2 + height2 >= pictureBottom;
            if (whole) {
                documents.back().sheets.back().push_back(line.text);
            } else if (overlaps && !cutByThePicture) {
                cutLines.push_back(line.text);
            }
        }
    }
    void NewPage() override {
        asked(PrinterStep::Page);
        if (!openDocument()) {
            asked(PrinterStep::Start);
            documents.push_back({currentPrinter().device, {{}}});
        }
        documents.back().sheets.emplace_back();
    }
    void EndDoc() override {
        asked(PrinterStep::End);
        if (Document* document = openDocument()) {
            document->state = DocumentState::Ended;
        }
    }
    void KillDoc() override {
        transcript.push_back("KillDoc");
        if (Document* document = openDocument()) {
            document->state = DocumentState::Abandoned;
        }
    }
    void asked(PrinterStep step) {
        if (++stepsAsked[step] == failOnTime && step == failAt) {
            throw RuntimeError(err::PrinterError);
        }
    }

    // Instances: the answers of the system to each claim of the program folder and each request
    // to the running copy, in turn, as a test sets them; once they run out, the folder is free.
    std::vector<bool> claims;
    std::vector<bool> showRequests;
    std::size_t claimsMade = 0;
    std::size_t showRequestsMade = 0;
    bool claimProgramFolder(const std::string& folder, int waitMilliseconds) override {
        transcript.push_back("Claim " + folder + (waitMilliseconds > 0 ? " (waiting)" : ""));
        return claimsMade < claims.size() ? claims[claimsMade++] : (++claimsMade, true);
    }
    // RunKey: the values a test puts there.
    std::vector<platform::RunKey::Value> run;
    std::vector<platform::RunKey::Value> runValues() override { return run; }
    // The key of each program file that is there, by each path that reaches it.
    std::map<std::string, std::string> programFiles;
    std::string programFileKey(const std::string& path) override {
        auto found = programFiles.find(path);
        return found == programFiles.end() ? "" : found->second;
    }
    // Names whose start the user switched off in Task Manager.
    std::vector<std::string> switchedOff;
    bool startSwitchedOff(const std::string& name) override {
        for (const auto& off : switchedOff) {
            if (foldCase(off) == foldCase(name)) {
                return true;
            }
        }
        return false;
    }

    void releaseProgramFolder() override { transcript.push_back("Release the program folder"); }
    bool askRunningCopyToShow(const std::string& folder) override {
        transcript.push_back("Ask the copy of " + folder + " to show");
        return showRequestsMade < showRequests.size() ? showRequests[showRequestsMade++]
                                                      : (++showRequestsMade, false);
    }

    static std::string hex(std::uintptr_t value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
        return buffer;
    }
};

}  // namespace tivora::fakes
