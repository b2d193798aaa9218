// A stand-in for the window functions: windows by title as a test lays them out, the foreground
// as Windows grants it, and the lines DrawTextW draws into the picture box's surface.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/fake_transcript.h"
#include "platform/window_functions.h"

namespace tivora::fakes {

class FakeWindowFunctions : public platform::WindowFunctions {
public:
    explicit FakeWindowFunctions(Transcript& transcript) : transcript_(transcript) {}

    static constexpr std::uintptr_t desktopWindow = 0x10010;
    std::map<std::string, std::uintptr_t> topLevelWindows{{"Tivora!!!", 0x20020}};
    std::uintptr_t GetDesktopWindow() override { return desktopWindow; }
    std::uintptr_t FindWindowA(const std::optional<std::string>& className,
                               const std::string& title) override {
        transcript_.push_back("FindWindowA " + className.value_or("(null)") + " " + title);
        auto found = topLevelWindows.find(title);
        return found == topLevelWindows.end() ? 0 : found->second;
    }
    std::set<std::uintptr_t> ofAnotherCopy;  // windows another copy of the program made
    bool ofThisProcess(std::uintptr_t window) override { return window != 0 && !ofAnotherCopy.count(window); }
    // The foreground as Windows grants it: while the user works in another program, a request
    // is refused unless we received the last input event or our input is joined to that
    // program's thread; one that locked the foreground (LockSetForegroundWindow) refuses all.
    bool othersInFront = false;
    bool lastInputOurs = false;
    bool foregroundLocked = false;
    bool inputJoined = false;
    // That program's window; hung, it reads no messages, and a request made with our input joined
    // to its thread waits until it reads them again: our one thread hangs with it.
    static constexpr std::uintptr_t inFront = 0x70070;
    bool inFrontHung = false;
    bool waitedOnHungProgram = false;
    bool SetForegroundWindow(std::uintptr_t window) override {
        transcript_.push_back("SetForegroundWindow " + hex(window));
        if (inputJoined && othersInFront && inFrontHung) {
            waitedOnHungProgram = true;
        }
        if (foregroundLocked || (othersInFront && !lastInputOurs && !inputJoined)) {
            return false;
        }
        othersInFront = false;
        return true;
    }
    std::uintptr_t GetForegroundWindow() override { return othersInFront ? inFront : 0; }
    bool SendMessageTimeoutW(std::uintptr_t window, std::uint32_t message, unsigned milliseconds) override {
        transcript_.push_back("SendMessageTimeoutW " + hex(window) + " " + std::to_string(message) + " " +
                              std::to_string(milliseconds));
        return window != 0 && !(window == inFront && inFrontHung);
    }
    bool AttachThreadInput(std::uintptr_t window, bool attach) override {
        transcript_.push_back(attach ? "AttachThreadInput " + hex(window) : "DetachThreadInput");
        if (attach && (!othersInFront || window != inFront)) {
            return false;
        }
        inputJoined = attach;
        return true;
    }
    void FlashWindowEx(std::uintptr_t window) override {
        transcript_.push_back("FlashWindowEx " + hex(window));
    }
    bool PostMessageA(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override {
        transcript_.push_back("PostMessageA " + hex(window) + " " + std::to_string(message) + " " +
                              std::to_string(wParam) + " " + std::to_string(lParam));
        return true;
    }

    // The lines drawn into the picture box's surface since it was last cleared, as DrawText lays
    // them out, simplified: a line ends at CR LF or after charactersPerLine characters, each line
    // pictureLineHeight below the last; drawing stops after the first line past the bottom, cut there.
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
        transcript_.push_back("DrawTextW " + hex(dc) + " (" + std::to_string(left) + "," +
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

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
