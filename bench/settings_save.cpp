// The save of the settings at «Выход» on the real system, Settings.ini beside this exe: the keys
// written in place one by one and flushed (as earlier versions saved) against
// INI_Functions::Settings(Save), and the save while a scanner looks at each new file; one JSON line.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "base/report.h"
#include "main_window/form_main.h"
#include "platform/win32/win32_platform.h"
#include "settings/ini_functions.h"
#include "version.h"

using namespace tivora;

namespace {

struct Entry {
    std::string section, key, value;
};

// The keys of a section as the file holds them, through the system's own profile functions.
std::vector<Entry> entries(const std::wstring& file, const wchar_t* section) {
    std::vector<Entry> found;
    wchar_t pairs[8192] = {};
    GetPrivateProfileSectionW(section, pairs, 8192, file.c_str());
    auto utf8 = [](std::wstring_view w) {
        std::string s(w.size() * 3, '\0');
        s.resize(WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), int(s.size()), nullptr,
                                     nullptr));
        return s;
    };
    for (const wchar_t* pair = pairs; *pair; pair += std::wcslen(pair) + 1) {
        std::wstring_view line(pair);
        size_t equals = line.find(L'=');
        found.push_back({utf8(section), utf8(line.substr(0, equals)), utf8(line.substr(equals + 1))});
    }
    return found;
}

std::string figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    char text[128];
    std::snprintf(text, sizeof text, "{\"median\":%.3f,\"fastest\":%.3f,\"slowest\":%.3f}", ms[ms.size() / 2],
                  ms.front(), ms.back());
    return text;
}

// A virus scanner's look at a file: each time the new file has changed, it is opened without
// sharing and held for a while, as a scanner that scans on close does.
struct Scanner {
    std::wstring paths[2];  // this build's new file and the earlier builds' ("Settings.ini.new")
    DWORD holdMilliseconds = 0;
    volatile LONG stop = 0, looks = 0;
    static DWORD WINAPI run(void* self) {
        auto& s = *static_cast<Scanner*>(self);
        WIN32_FILE_ATTRIBUTE_DATA seen{}, now{};
        for (int turn = 0; !s.stop; ++turn) {
            const std::wstring& path = s.paths[turn % 2];
            if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now) ||
                (CompareFileTime(&now.ftLastWriteTime, &seen.ftLastWriteTime) == 0 &&
                 now.nFileSizeLow == seen.nFileSizeLow)) {
                Sleep(turn % 2);
                continue;
            }
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                seen = now;
                InterlockedIncrement(&s.looks);
                Sleep(s.holdMilliseconds);
                CloseHandle(file);
            }
        }
        return 0;
    }
};

double milliseconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = argc > 1 ? _wtoi(argv[1]) : 25;
    win32::Win32Platform system(GetModuleHandleW(nullptr));
    platform::Platform platform = system.platform();
    ErrorReporter reporter(platform::reportBox(platform.messageBoxes, TIVORA_TITLE));
    INI_Functions ini(platform, reporter);
    Form_Main form(platform, reporter, ini);
    ini.Settings_File = platform.application.programFolder() + "\\Settings.ini";
    std::wstring file(ini.Settings_File.begin(), ini.Settings_File.end());  // the folder's name is ASCII

    ini.Settings(INI_Functions::Save, form);  // the file, and the keys a save writes
    std::vector<Entry> keys = entries(file, L"Form_Main");
    for (const Entry& entry : entries(file, L"Program_Settings")) {
        keys.push_back(entry);
    }
    std::vector<double> inPlace, save, flush;
    // Each save carries a change, as the message typed anew: the profile functions write nothing
    // for a key whose value stands in the file already.
    Entry* message =
        &*std::find_if(keys.begin(), keys.end(), [](auto& e) { return e.key == "Form_Main_Text_Message"; });
    for (int run = 0; run <= runs; ++run) {  // the first run of each is left out
        message->value = "Спокойной ночи! " + std::to_string(run);
        double a = milliseconds([&] {
            for (const Entry& entry : keys) {
                ini.WriteIni(ini.Settings_File, entry.section, entry.key, entry.value);
            }
        });
        double c = milliseconds([&] {  // the bytes just written, flushed as the save flushes its new file
            HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            FlushFileBuffers(handle);
            CloseHandle(handle);
        });
        form.Text_Message.setText("Спокойной ночи! " + std::to_string(run + 1000));
        double b = milliseconds([&] { ini.Settings(INI_Functions::Save, form); });
        if (run > 0) {
            inPlace.push_back(a);
            save.push_back(b);
            flush.push_back(c);
        }
    }
    // The same save while a scanner looks at the new file after each change, for some hold times.
    std::string scanned;
    for (DWORD hold : {10, 50, 150}) {
        Scanner scanner{{file.substr(0, file.size() - 4) + L".new", file + L".new"}, hold};
        HANDLE thread = CreateThread(nullptr, 0, Scanner::run, &scanner, 0, nullptr);
        std::vector<double> times;
        int saved = 0, n = std::max(3, runs / 5);
        for (int run = 0; run < n; ++run) {
            std::string text = "Спокойной ночи! " + std::to_string(hold * 100 + run);
            form.Text_Message.setText(text);
            times.push_back(milliseconds([&] { ini.Settings(INI_Functions::Save, form); }));
            saved += ini.ReadIni(ini.Settings_File, "Form_Main", "Form_Main_Text_Message") == text;
        }
        scanner.stop = 1;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        scanned += std::string(scanned.empty() ? "" : ",") + "{\"hold\":" + std::to_string(hold) +
                   ",\"saved\":" + std::to_string(saved) + ",\"of\":" + std::to_string(n) +
                   ",\"looks\":" + std::to_string(scanner.looks / n) + ",\"time\":" + figures(times) + "}";
    }
    std::printf("{\"keys\":%zu,\"runs\":%d,\"in_place\":%s,\"save\":%s,\"flush\":%s,\"scanned\":[%s]}\n",
                keys.size(), runs, figures(inPlace).c_str(), figures(save).c_str(), figures(flush).c_str(),
                scanned.c_str());
    return 0;
}
