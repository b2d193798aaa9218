// Printing a text page by page on a fake printer, the print dialog's records, and the
// open-file dialog.
#include <gtest/gtest.h>

#include <cstring>

#include "fakes/fake_picture_view.h"
#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

struct Printing : fakes::MainWindowFixture {
    fakes::FakePictureView pictureView{fake};
    Printing() {
        form.Picture_Print.setView(&pictureView);
        form.Check_MsgBox.setValue(1);  // so that the dialog's failures are shown, and can be seen
    }
    Cl_Module_CommonDialog& dialog() { return form.commonDialog(); }

    // The user confirms the print dialog, choosing a printer by the name the dialog gives back.
    void confirmWith(const std::string& deviceName, int copies = 1) {
        fake.printDialog = [this, deviceName, copies](platform::PrintDialogRecord& record) {
            auto& block = fake.blocks.at(record.hDevMode);
            std::fill(block.begin(), block.begin() + 32, 0);
            std::memcpy(block.data(), deviceName.data(), std::min<size_t>(deviceName.size(), 32));
            block[54] = static_cast<std::uint8_t>(copies);
            return true;
        };
    }
    void print(const std::string& text) { dialog().vPrint_To_Paper(dialog(), text); }
};

TEST_F(Printing, OnePageForEach5800CharactersBegun) {
    confirmWith("PDF");
    for (size_t length : {0u, 1u, 5799u, 5800u, 5801u, 11600u, 11601u}) {
        fake.pages.clear();
        int ended = fake.documentsEnded;
        std::string text(length, 'a');
        if (length > 0) {
            text.back() = 'z';
        }
        print(text);
        size_t expectedPages = length == 0 ? 1 : (length + 5799) / 5800;
        ASSERT_EQ(fake.pages.size(), expectedPages) << length;
        EXPECT_EQ(fake.documentsEnded, ended + 1) << length;
        for (const auto& page : fake.pages) {
            ASSERT_EQ(page.size(), 1u) << length;  // one picture a page
        }
        if (length > 0) {
            EXPECT_EQ(fake.pages.back().back().back(), 'z') << length;
            EXPECT_LE(fake.pages.back().back().size(), 5800u);
        }
    }
    EXPECT_EQ(form.Picture_Print.widthPixels(), 750);
    EXPECT_EQ(form.Picture_Print.heightPixels(), 3232);
    EXPECT_TRUE(fake.printerScalePixels);
    EXPECT_NE(std::find(fake.transcript.begin(), fake.transcript.end(), "DrawTextA 0x50050 (0,0,750,3232) 16"),
              fake.transcript.end());
    EXPECT_EQ(fake.transcript.back(), "PaintPicture 0x60060 750x3232 at 0,0");
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    EXPECT_TRUE(fake.blocks.empty());
}

TEST_F(Printing, ChunksAreCharactersAndReachThePrinterInTheCodePage) {
    confirmWith("PDF");
    std::string text;
    for (int i = 0; i < 5801; ++i) {
        text += "ж";
    }
    print(text);
    ASSERT_EQ(fake.pages.size(), 2u);
    EXPECT_EQ(fake.pages[0][0], std::string(5800, '\xE6'));
    EXPECT_EQ(fake.pages[1][0], "\xE6");
}

TEST_F(Printing, CancelPrintsNothingAndLeavesEverythingAsItWas) {
    print("Справка");
    EXPECT_TRUE(fake.pages.empty());
    EXPECT_EQ(fake.documentsEnded, 0);
    EXPECT_TRUE(fake.blocks.empty());  // both blocks released
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    EXPECT_FALSE(fake.printerScalePixels);
    ASSERT_EQ(fake.printDialogs.size(), 1u);
    EXPECT_EQ(fake.printDialogs[0].lStructSize, 66u);
    EXPECT_EQ(fake.printDialogs[0].hwndOwner, 0u);
    EXPECT_EQ(fake.printDialogs[0].Flags, 0u);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(Printing, TheDialogGetsTheCurrentPrintersSettingsInMovableZeroFilledBlocks) {
    fake.printers = {{"Laser", "Driver", "LPT1:"}};
    fake.orientation = 2;
    fake.duplex = 3;
    std::vector<std::uint8_t> devMode, devNames;
    fake.printDialog = [&](platform::PrintDialogRecord& record) {
        devMode = fake.blocks.at(record.hDevMode);
        devNames = fake.blocks.at(record.hDevNames);
        return false;
    };
    dialog().ShowPrinter();
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(), "GlobalAlloc 0x42 122"), 1);
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(), "GlobalAlloc 0x42 108"), 1);
    ASSERT_EQ(devMode.size(), 122u);
    EXPECT_EQ(std::string(devMode.begin(), devMode.begin() + 32), "Laser" + std::string(27, ' '));
    EXPECT_EQ(devMode[36], 122);                                                     // dmSize
    EXPECT_EQ(devMode[40] | (devMode[41] << 8) | (devMode[42] << 16), 0x1001);      // dmFields
    EXPECT_EQ(devMode[44], 2);                                                       // dmOrientation
    EXPECT_EQ(devMode[46], 9);                                                       // dmPaperSize
    EXPECT_EQ(devMode[50] | (devMode[51] << 8), 11906);                              // dmPaperWidth
    EXPECT_EQ(devMode[62], 3);                                                       // dmDuplex
    ASSERT_EQ(devNames.size(), 108u);
    EXPECT_EQ(devNames[0], 8);
    EXPECT_EQ(devNames[2], 8 + 7);
    EXPECT_EQ(devNames[4], 8 + 7 + 6);
    EXPECT_EQ(devNames[6], 0);
    EXPECT_EQ(std::string(devNames.begin() + 8, devNames.begin() + 8 + 19), std::string("Driver\0Laser\0LPT1:\0", 19));
    EXPECT_EQ(devNames.back(), ' ');
}

TEST_F(Printing, ThePrinterNameBlockIsCutAtItsSize) {
    auto block = Cl_Module_CommonDialog::devNames(std::string(60, 'd'), std::string(60, 'n'), "p");
    EXPECT_EQ(block[2], 8 + 61);
    EXPECT_EQ(block[4], 8 + 61 + 61);
    EXPECT_EQ(block[107], 'n');  // cut: the device name runs to the end of the block
}

TEST_F(Printing, TheChosenNameIsMatchedInUpperCaseAgainstEveryPrinter) {
    fake.printers = {{"PDF", "d", "p"}, {"Laser", "d", "p"}, {"laser", "d", "p"}, {"Other", "d", "p"}};
    confirmWith("LASER", 3);
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.current, 2u);  // every match becomes current; the last one stays
    EXPECT_EQ(fake.copies, 3);
    confirmWith("Nobody");
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.current, 2u);
    EXPECT_TRUE(fake.blocks.empty());
}

TEST_F(Printing, ANameWithoutItsEndFailsThroughTheGatedReport) {
    confirmWith(std::string(32, 'X'));
    EXPECT_FALSE(dialog().ShowPrinter());
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text.rfind("Ошибка функции ShowPrinter№5, ", 0), 0u);
    form.Check_MsgBox.setValue(0);
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.messages.size(), 1u);  // not shown without the debug box
}

TEST_F(Printing, AFailureMidwayStillRestoresTheCoordinateUnit) {
    confirmWith("PDF");
    fake.printers.clear();  // no printer: its settings cannot be read
    print("text");
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "Ошибка функции ShowPrinter№482, 'Ошибка принтера', строка 2");
}

TEST_F(Printing, TheOpenDialogGetsItsRecordAndGivesBackThePath) {
    dialog().setFilter("Текст|*.txt|Все|*.*");
    dialog().setInitDir("C:\\Program Files\\Tivora");
    platform::OpenFileRecord seen;
    fake.openDialog = [&](platform::OpenFileRecord& record) {
        seen = record;
        record.lpstrFile = "C:\\Tivora\\Справка.txt" + std::string(1, '\0') + std::string(10, ' ');
        record.lpstrFile = utf8ToCp1251(record.lpstrFile);
        return true;
    };
    fake.existingFiles = {"Справка.txt"};
    EXPECT_FALSE(dialog().ShowOpen(form));
    EXPECT_EQ(seen.lStructSize, 76u);
    EXPECT_EQ(seen.lpstrFilter, utf8ToCp1251("Текст") + '\0' + "*.txt" + '\0' + utf8ToCp1251("Все") + '\0' +
                                    "*.*" + '\0');  // the string's own end makes the second NUL
    EXPECT_EQ(seen.lpstrFile, std::string(255, ' '));
    EXPECT_EQ(seen.nMaxFile, 256u);
    EXPECT_EQ(*seen.lpstrInitialDir, utf8ToCp1251("C:\\Program Files\\Tivora"));
    EXPECT_FALSE(seen.lpstrTitle.has_value());
    EXPECT_EQ(dialog().FileName(), "C:\\Tivora\\Справка.txt");
    EXPECT_EQ(dialog().FileTitle(), "Справка.txt");
    EXPECT_TRUE(form.enabled());
    fake.openDialog = nullptr;  // cancel: the blank buffer stays
    EXPECT_TRUE(dialog().ShowOpen(form));
    EXPECT_EQ(dialog().FileName(), std::string(255, ' '));
    EXPECT_EQ(dialog().FileTitle(), "");
}

TEST_F(Printing, AnOpenDialogThatFailsAnswersFalseReportsOnceAndGivesTheWindowBack) {
    // The last step fails after a cancel: the window cannot take the focus while it is hidden.
    form.hide();
    EXPECT_FALSE(dialog().ShowOpen(form));
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text,
              "Ошибка функции ShowOpen№5, 'Недопустимый вызов процедуры или недопустимый аргумент', строка 7");
    EXPECT_TRUE(form.enabled());
    // The dialog itself fails.
    form.show();
    fake.messages.clear();
    fake.openDialog = [](platform::OpenFileRecord&) -> bool { throw RuntimeError(err::OutOfMemory); };
    EXPECT_FALSE(dialog().ShowOpen(form));
    EXPECT_EQ(fake.messages.size(), 1u);
    EXPECT_TRUE(form.enabled());
}

}  // namespace
}  // namespace tivora
