// The open-file dialog of Windows (Wine's here), answered by a user on another thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/report.h"
#include "dialogs/common_dialog.h"
#include "forms/controls.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "version.h"

namespace tivora {
namespace {

struct Window : forms::Form {
    Window() : Form("Form_Test", "Test", 2880, 4305) {}
    forms::PictureBox Picture{*this, "Picture", {0, 0, 480, 225}};
};

// Waits for the dialog titled title, types name into its file box (if any) and presses the
// button: OK (1) or Cancel (2).
std::thread answer(const wchar_t* title, std::wstring name, int button) {
    return std::thread([title, name, button] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            dialog = FindWindowW(L"#32770", title);
            Sleep(25);
        }
        if (!dialog) {
            return;
        }
        Sleep(200);
        if (!name.empty()) {
            HWND box = GetDlgItem(dialog, 0x47C);  // the file name combo box
            if (!box) {
                box = GetDlgItem(dialog, 0x480);  // the file name edit of older dialogs
            }
            SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
}

TEST(OpenFileDialog, CancelGivesTrueAndAChosenFileGivesItsPathAndName) {
    // A folder in letters that no 8-bit code page holds together with Russian.
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / L"tivora-open \u04D8\u043B\u0438\u044F";
    auto utf8 = [](const std::filesystem::path& path) { return win32::narrow(path.wstring()); };
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "notes.txt") << "x";

    win32::Win32Platform windows(GetModuleHandleW(nullptr));
    platform::Platform system = windows.platform();
    ErrorReporter reporter(platform::reportBox(system.messageBoxes, TIVORA_TITLE));
    Window window;
    window.show();
    Cl_Module_CommonDialog dialog(system, reporter, window, window.Picture);
    dialog.setDialogTitle("Выбор файла");
    dialog.setFilter("Текст|*.txt|Все файлы|*.*");
    dialog.setInitDir(utf8(folder));

    std::thread user = answer(L"Выбор файла", L"", 2);
    EXPECT_TRUE(dialog.ShowOpen(window));
    user.join();
    EXPECT_TRUE(window.enabled());

    user = answer(L"Выбор файла", (folder / "notes.txt").wstring(), 1);
    EXPECT_FALSE(dialog.ShowOpen(window));
    user.join();
    EXPECT_EQ(dialog.FileName(), utf8(folder / "notes.txt"));
    EXPECT_EQ(dialog.FileTitle(), "notes.txt");
    EXPECT_TRUE(window.enabled());
    std::error_code ignored;  // the dialog left its folder the current one (no flags asked otherwise)
    SetCurrentDirectoryW(std::filesystem::temp_directory_path().wstring().c_str());
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace tivora
