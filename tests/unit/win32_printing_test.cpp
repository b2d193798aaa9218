// The picture box's surface keeps what is drawn on it and plays it again on another device, a
// band of lines at a time and at that device's resolution, as printing does (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/win32/form_host.h"
#include "platform/win32/picture_image.h"

namespace tivora::win32 {
namespace {

struct PrintForm : forms::Form {
    PrintForm() : Form("Form_Test", "Печать", 2880, 4305) {
        Picture.font = {"Times New Roman", 9.75, 400, 204};
        Picture.setVisible(false);
    }
    forms::PictureBox Picture{*this, "Picture", {0, 0, 480, 225}};
};

struct Surface : ::testing::Test {
    PrintForm form;
    std::optional<FormHost> host;
    void SetUp() override {
        host.emplace(form, GetModuleHandleW(nullptr), FormHost::Style{});
        host->create();
        form.setScaleMode(forms::ScaleMode::Pixels);
        form.Picture.setSize(750, 3232);
    }
    void TearDown() override {
        host.reset();
        MSG quit;  // the last window gone asks the message loop to end; the next test has none
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    int draw(const std::string& utf8) {
        RECT rect{0, 0, 750, 3232};
        std::string ansi = utf8ToCp1251(utf8);
        return DrawTextA(reinterpret_cast<HDC>(form.Picture.hDC()), ansi.c_str(), -1, &rect, DT_WORDBREAK);
    }
    const PictureImage& image() { return *reinterpret_cast<const PictureImage*>(form.Picture.Image()); }
};

int CALLBACK collectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    if (record->iType == EMR_EXTTEXTOUTW) {
        auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        auto* characters =
            reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text->emrtext.offString);
        reinterpret_cast<std::vector<std::wstring>*>(data)->emplace_back(characters, text->emrtext.nChars);
    }
    return TRUE;
}

// The texts of the lines that a metafile draws, in order.
std::vector<std::wstring> textsOf(HENHMETAFILE metafile) {
    std::vector<std::wstring> texts;
    EnumEnhMetaFile(nullptr, metafile, collectText, &texts, nullptr);
    return texts;
}

TEST_F(Surface, BandsOfWholeLinesPlayedAtAnotherResolutionHoldEveryLineOnce) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "Строка " + std::to_string(i) + "\r\n";
    }
    const int lineHeight = form.Picture.lineHeightPixels();
    ASSERT_GT(lineHeight, 5);
    const int drawn = draw(text);
    // DrawText steps down a line height a line and stops with the line that reaches the bottom.
    ASSERT_EQ(drawn % lineHeight, 0);
    const int lines = drawn / lineHeight;
    ASSERT_GE(drawn, 3232);
    ASSERT_LT(drawn, 3232 + lineHeight);

    // Bands of 70 lines, each played at four times the screen's resolution onto a device of its own.
    const int band = 70 * lineHeight;
    std::vector<std::wstring> played;
    HDC screen = GetDC(nullptr);
    for (int top = 0; top < 3232; top += band) {
        const int height = std::min(band, 3232 - top);
        HDC device = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
        EXPECT_TRUE(playPicture(device, image(), 0, 0, 750 * 4.0, height * 4.0, 0, top, 750, height));
        HENHMETAFILE sheet = CloseEnhMetaFile(device);
        auto texts = textsOf(sheet);
        DeleteEnhMetaFile(sheet);
        EXPECT_LE(texts.size(), 70u);
        played.insert(played.end(), texts.begin(), texts.end());
    }
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(played.size(), static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        EXPECT_EQ(played[i], L"Строка " + std::to_wstring(i));
    }
}

TEST_F(Surface, ABandLandsAtTheTopOfItsRectangleAndStaysInside) {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "ЖЖЖЖЖЖЖЖЖЖ\r\n";
    }
    const int lineHeight = form.Picture.lineHeightPixels();
    draw(text);
    // Lines 10 to 19 at three times the size, onto the rectangle (30, 60) of a white bitmap.
    const int scale = 3, width = 750 * scale, height = 10 * lineHeight * scale;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width + 60, -(height + 120), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC device = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(device, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap);
    HGDIOBJ previous = SelectObject(device, bitmap);
    PatBlt(device, 0, 0, width + 60, height + 120, WHITENESS);
    EXPECT_TRUE(
        playPicture(device, image(), 30, 60, width, height, 0, 10 * lineHeight, 750, 10 * lineHeight));
    GdiFlush();
    auto* pixels = static_cast<const std::uint32_t*>(bits);
    int firstInk = -1, lastInk = -1, outside = 0;
    for (int y = 0; y < height + 120; ++y) {
        for (int x = 0; x < width + 60; ++x) {
            if ((pixels[y * (width + 60) + x] & 0xFFFFFF) != 0xFFFFFF) {
                bool inside = y >= 60 && y < 60 + height && x >= 30 && x < 30 + width;
                outside += inside ? 0 : 1;
                firstInk = firstInk < 0 ? y : firstInk;
                lastInk = y;
            }
        }
    }
    SelectObject(device, previous);
    DeleteObject(bitmap);
    DeleteDC(device);
    EXPECT_EQ(outside, 0);
    ASSERT_GE(firstInk, 60);
    EXPECT_LT(firstInk, 60 + lineHeight * scale);              // the band's first line begins the rectangle
    EXPECT_GT(lastInk, 60 + height - 2 * lineHeight * scale);  // and its tenth ends it
}

TEST_F(Surface, DrawingGoesOnAfterTheImageIsTakenAndClearingForgetsIt) {
    draw("Первая");
    EXPECT_EQ(image().layers.size(), 1u);
    RECT rect{0, 100, 750, 3232};
    std::string second = utf8ToCp1251("Вторая");
    DrawTextA(reinterpret_cast<HDC>(form.Picture.hDC()), second.c_str(), -1, &rect, DT_WORDBREAK);
    ASSERT_EQ(image().layers.size(), 2u);
    EXPECT_EQ(textsOf(image().layers[0]), std::vector<std::wstring>{L"Первая"});
    EXPECT_EQ(textsOf(image().layers[1]), std::vector<std::wstring>{L"Вторая"});
    form.Picture.Cls();
    ASSERT_EQ(image().layers.size(), 1u);  // the background alone
    EXPECT_TRUE(textsOf(image().layers[0]).empty());
}

}  // namespace
}  // namespace tivora::win32
