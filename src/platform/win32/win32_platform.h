// The system as Windows gives it: clock, message boxes, regional settings, the program's own
// file and version record, the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/program_copies.h"
#include "platform/win32/win32_printer.h"

namespace tivora::win32 {

class Win32Platform : public platform::Application,
                      public platform::Clock,
                      public platform::MessageBoxes,
                      public platform::Regional,
                      public platform::Screen,
                      public platform::Processes,
                      public platform::Shell,
                      public platform::WindowFunctions,
                      public platform::Timers,
                      public platform::Profile,
                      public platform::Files,
                      public platform::NotifyArea,
                      public platform::GlobalMemory,
                      public platform::CommonDialogFunctions,
                      public platform::RunKey {
public:
    explicit Win32Platform(HINSTANCE instance);

    platform::Platform platform() {
        return {*this, *this, *this, *this, *this, *this,    *this,   *this, *this,
                *this, *this, *this, *this, *this, printer_, copies_, *this};
    }

    std::string programFolder() override;
    std::string exeName() override;
    std::uintptr_t instanceHandle() override { return reinterpret_cast<std::uintptr_t>(instance_); }
    std::string productName() override;

    DateTime now() override;
    std::int64_t sleptMilliseconds() override;

    void show(const std::string& text, const std::string& title) override;
    void showOnTop(const std::string& text, const std::string& title) override;

    NumberFormat numberFormat() override;
    std::string toAnsi(std::string_view text) override;
    std::string fromAnsi(std::string_view bytes) override;

    double twipsPerPixelX() override;
    double twipsPerPixelY() override;

    std::uint32_t start(const std::string& commandLine, platform::WindowStyle style) override;
    std::uint32_t startSystemTool(const std::string& tool, const std::string& arguments,
                                  platform::WindowStyle style) override;
    // The tool's full path in the system folder, and the command line it is started with: that
    // path quoted, then the arguments.
    static std::wstring systemToolPath(const std::string& tool);
    static std::wstring systemToolCommandLine(const std::string& tool, const std::string& arguments);

    std::intptr_t ShellExecuteW(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int showCommand) override;

    std::uintptr_t GetDesktopWindow() override;
    std::uintptr_t FindWindowA(const std::optional<std::string>& className,
                               const std::string& title) override;
    bool SetForegroundWindow(std::uintptr_t window) override;
    bool AttachThreadInput(bool attach) override;
    void FlashWindowEx(std::uintptr_t window) override;

    int startOnce(int milliseconds, std::function<void()> action) override;
    void cancel(int id) override;

    std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                           const std::u16string& defaultText, std::u16string& buffer,
                                           const std::u16string& file) override;
    bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& value, const std::u16string& file) override;
    platform::FileError lastWriteError() override { return lastWriteError_; }
    void flushCache(const std::u16string& file) override;

    bool fileExists(const std::string& path) override;
    platform::FileError read(const std::string& path, std::string& bytes) override;
    platform::FileError write(const std::string& path, const std::string& bytes) override;
    platform::FileError flush(const std::string& path) override;
    platform::FileError replace(const std::string& fresh, const std::string& target) override;
    void remove(const std::string& path) override;
    std::string errorText(platform::FileError error) override;
    void pause(int milliseconds) override;

    std::vector<platform::RunKey::Value> runValues() override;
    bool startSwitchedOff(const std::string& name) override;
    std::string programFileKey(const std::string& path) override;

    bool PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;

    std::uint32_t firstVersionRecordSize() override;
    bool Shell_NotifyIconA(std::uint32_t message, const platform::NotifyIconRecord& record) override;
    void onNotifyAreaCreated(std::function<void()> action) override;
    // The shell has broadcast "TaskbarCreated"; the application window passes it on.
    void notifyAreaCreated();

    int DrawTextW(std::uintptr_t deviceContext, const std::string& text, int left, int top, int right,
                  int bottom, std::uint32_t format) override;

    std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    void* GlobalLock(std::uintptr_t block) override;
    bool GlobalUnlock(std::uintptr_t block) override;
    std::uintptr_t GlobalFree(std::uintptr_t block) override;
    std::size_t GlobalSize(std::uintptr_t block) override;
    void moveMemory(void* destination, const void* source, std::size_t length) override;

    std::uint32_t printDialogRecordSize() override;
    bool PrintDlgW(platform::PrintDialogRecord& record) override;
    std::uint32_t openFileRecordSize() override;
    bool GetOpenFileNameW(platform::OpenFileRecord& record) override;
    bool GetSaveFileNameW(platform::SaveFileRecord& record) override;
    std::vector<std::string> findFiles(const std::string& pattern) override;

    // The full path of the program's executable, however long.
    static std::wstring modulePath(HMODULE module);

private:
    // program: the file to run, or nullptr to take it from the command line's start.
    static std::uint32_t createProcess(const wchar_t* program, std::wstring commandLine,
                                       platform::WindowStyle style);

    HINSTANCE instance_;
    Win32Printer printer_;
    ProgramCopies copies_;
    std::vector<std::function<void()>> notifyAreaCreated_;
    platform::FileError lastWriteError_ = 0;
    DWORD joinedThread_ = 0;  // the foreground thread whose input ours is joined to
};

// The screen's dots per inch as the program sees them (96 unless scaled).
int systemDpi();

}  // namespace tivora::win32
