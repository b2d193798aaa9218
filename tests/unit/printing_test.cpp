// Printing a text page by page on a fake printer, the print dialog's records, and the
// open-file dialog.
#include <gtest/gtest.h>

#include <cstring>

#include "fakes/fake_picture_view.h"
#include "fakes/main_window_fixture.h"

namespace tivora {
namespace {

struct Printing : fakes::MainWindowFixture {
    fakes::FakePictureView pictureView{fake.windows};
    Printing() {
        form.Picture_Print.setView(&pictureView);
        form.Check_MsgBox.setValue(1);  // so that the dialog's failures are shown, and can be seen
    }
    Cl_Module_CommonDialog& dialog() { return form.commonDialog(); }

    // The user confirms the print dialog, choosing a printer by the name the dialog gives back.
    void confirmWith(const std::string& deviceName, int copies = 1) {
        fake.dialogs.printDialog = [this, deviceName, copies](platform::PrintDialogRecord& record) {
            return fake.dialogs.confirmPrintDialog(record, deviceName, copies);
        };
    }
    void print(const std::string& text) { dialog().vPrint_To_Paper(dialog(), text); }

    // The lines of the sheets, each line as it was drawn (line breaks left out).
    static std::string joined(const std::vector<std::vector<std::string>>& sheets) {
        std::string text;
        for (const auto& sheet : sheets) {
            for (const auto& line : sheet) {
                text += line;
            }
        }
        return text;
    }
};

TEST_F(Printing, EachChunkBeginsASheetAndAChunkThatFitsTakesOne) {
    confirmWith("PDF");
    for (size_t length : {0u, 1u, 5799u, 5800u, 5801u, 11600u, 11601u}) {
        fake.printer.documents.clear();
        fake.printer.paints.clear();
        std::string text(length, 'a');
        if (length > 0) {
            text.back() = 'z';
        }
        print(text);
        size_t expectedSheets = length == 0 ? 1 : (length + 5799) / 5800;
        ASSERT_EQ(fake.printer.documents.size(), 1u) << length;
        EXPECT_EQ(fake.printer.documents[0].state, fakes::FakePrinter::DocumentState::Ended) << length;
        ASSERT_EQ(fake.printer.sheets().size(), expectedSheets) << length;
        EXPECT_EQ(fake.printer.paints.size(), expectedSheets) << length;  // one paint a sheet
        EXPECT_EQ(joined(fake.printer.sheets()), text) << length;         // every character on paper
        for (const auto& sheet : fake.printer.sheets()) {
            EXPECT_LE(joined({sheet}).size(), 5800u) << length;
        }
    }
    EXPECT_EQ(form.Picture_Print.widthPixels(), 750);
    EXPECT_EQ(form.Picture_Print.heightPixels(), 3232);
    EXPECT_TRUE(fake.printer.printerScalePixels);
    EXPECT_NE(
        std::find(fake.transcript.begin(), fake.transcript.end(), "DrawTextW 0x50050 (0,0,750,3232) 16"),
        fake.transcript.end());
    // The picture at its size on the screen: 750 pixels of 15 twips are 4687.5 printer pixels of
    // 2.4 twips, from the top-left corner of the printable area.
    const auto& paint = fake.printer.paints.back();
    EXPECT_DOUBLE_EQ(paint.width1, 4687.5);
    EXPECT_DOUBLE_EQ(paint.height1, paint.height2 * 6.25);
    EXPECT_EQ(paint.x1, 0);
    EXPECT_EQ(paint.y1, 0);
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    EXPECT_TRUE(fake.memory.blocks.empty());
}

TEST_F(Printing, ChunksAreCharactersAndReachThePrinterWhole) {
    confirmWith("PDF");
    std::string letters;  // "ә" is in no Cyrillic 8-bit code page
    for (int i = 0; i < 5800; ++i) {
        letters += "ә";
    }
    print(letters + "ж");
    ASSERT_EQ(fake.printer.sheets().size(), 2u);
    EXPECT_EQ(joined({fake.printer.sheets()[0]}), letters);
    EXPECT_EQ(joined({fake.printer.sheets()[1]}), "ж");
}

TEST_F(Printing, LinesThatASheetCannotHoldGoOnTheNextOneWholeOnAnyPrinter) {
    confirmWith("PDF");
    // 600 short lines: the first chunk draws more lines than one sheet holds, and those below
    // the picture's 3232 pixels are cut there; the second chunk begins a sheet of its own.
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; i < 600; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "line %03d", i);
        lines.push_back(line);
        text += lines.back() + "\r\n";
    }
    ASSERT_EQ(text.size(), 6000u);
    // The 215 lines that fit in the picture whole (215 x 15 = 3225 pixels), then the 20 of the
    // second chunk.
    std::vector<std::string> onPaper(lines.begin(), lines.begin() + 215);
    onPaper.insert(onPaper.end(), lines.begin() + 580, lines.end());
    struct Paper {
        double printableHeight, twipsPerPixel;
        size_t firstChunkSheets, sheets;
    };
    // A4 at 600 DPI (72 lines a sheet), A5 across at 300 DPI (35 lines), a label printer of 203
    // DPI (9 lines), a sheet of 10 lines, which the second chunk's 20 fill exactly (no blank sheet
    // after them): the first chunk's sheets, and all the sheets.
    for (Paper paper : {Paper{6816, 2.4, 3, 3 + 1}, Paper{1648, 4.8, 7, 7 + 1},
                        Paper{300, 1440.0 / 203, 24, 24 + 3}, Paper{937.5, 2.4, 22, 22 + 2}}) {
        fake.printer.documents.clear();
        fake.printer.paints.clear();
        fake.printer.cutLines.clear();
        fake.printer.printableHeight = paper.printableHeight;
        fake.printer.printerTwipsPerPixel = paper.twipsPerPixel;
        print(text);
        SCOPED_TRACE(paper.printableHeight);
        std::vector<std::string> printed;
        for (const auto& sheet : fake.printer.sheets()) {
            EXPECT_FALSE(sheet.empty());
            printed.insert(printed.end(), sheet.begin(), sheet.end());
        }
        EXPECT_EQ(printed, onPaper);
        EXPECT_EQ(fake.printer.cutLines, std::vector<std::string>{});
        EXPECT_GE(fake.printer.sheets().size(), 2u);  // never fewer than a sheet for each chunk
        ASSERT_EQ(fake.printer.sheets().size(), paper.sheets);
        EXPECT_EQ(fake.printer.sheets()[paper.firstChunkSheets].front(),
                  "line 580");  // the second chunk begins a sheet
        for (const auto& paint : fake.printer.paints) {
            EXPECT_LE(paint.height1, paper.printableHeight);
            EXPECT_TRUE(paint.height2 % 15 == 0 || paint.y2 + paint.height2 == 3232);  // whole lines
        }
    }
}

TEST_F(Printing, CancelPrintsNothingAndLeavesEverythingAsItWas) {
    fake.dialogs.printDialogBytes = 136;  // as a 64-bit system declares the record: the record says so
    print("Справка");
    EXPECT_TRUE(fake.printer.documents.empty());
    EXPECT_TRUE(fake.memory.blocks.empty());  // both blocks released
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    EXPECT_FALSE(fake.printer.printerScalePixels);
    ASSERT_EQ(fake.dialogs.printDialogs.size(), 1u);
    EXPECT_EQ(fake.dialogs.printDialogs[0].lStructSize, 136u);
    EXPECT_EQ(fake.dialogs.printDialogs[0].hwndOwner, 0u);
    EXPECT_EQ(fake.dialogs.printDialogs[0].Flags,
              platform::PD_USEDEVMODECOPIESANDCOLLATE | platform::PD_NOSELECTION);
    EXPECT_TRUE(fake.boxes.messages.empty());
}

TEST_F(Printing, WhatTheDialogWasAnsweredIsPrinted) {
    using namespace platform;
    const std::string text = std::string(5800, 'a') + std::string(5800, 'b') + "c";  // a sheet a chunk
    struct Answer {
        int deviceCopies, copies, collate, flags, from, to, driverCopies;
        const char *file, *sheets;  // named in the save dialog (none: cancelled); each sheet's first letter
    };
    for (Answer row :
         {Answer{9, 1, 1, PD_PRINTTOFILE, 0, 0, 1, nullptr, ""},  // first: no document before it
          Answer{2, 2, 1, 0, 0, 0, 2, "", "abc"}, Answer{1, 2, 1, 0, 0, 0, 1, "", "abcabc"},
          Answer{1, 2, 0, 0, 0, 0, 1, "", "aabbcc"}, Answer{9, 1, 1, PD_PAGENUMS, 2, 3, 1, "", "bc"},
          Answer{9, 1, 1, PD_SELECTION, 0, 0, 1, "", "xx"},
          Answer{9, 1, 1, PD_PRINTTOFILE, 0, 0, 1, "C:\\Справка.prn", "abc"}}) {
        SCOPED_TRACE(row.sheets);
        fake.printer.deviceCopies = row.deviceCopies;
        fake.dialogs.printDialog = [&](PrintDialogRecord& record) {
            record.Flags |= static_cast<std::uint32_t>(row.flags);
            record.nFromPage = static_cast<std::uint16_t>(row.from);
            record.nToPage = static_cast<std::uint16_t>(row.to);
            return fake.dialogs.confirmPrintDialog(record, "PDF", row.copies, row.collate);
        };
        fake.dialogs.saveDialog = [&](SaveFileRecord& record) {
            return row.file && (record.file = row.file, true);
        };
        const std::string selection = row.flags & PD_SELECTION ? std::string(5801, 'x') : "";
        dialog().vPrint_To_Paper(dialog(), text, nullptr, selection);
        EXPECT_EQ(fake.dialogs.printDialogs.back().Flags & PD_NOSELECTION,
                  selection.empty() ? PD_NOSELECTION : 0);
        std::string printed;
        for (const auto& sheet : fake.printer.sheets())
            printed += sheet.empty() ? '-' : sheet.front().front();
        EXPECT_EQ(printed, row.sheets);
        EXPECT_EQ(fake.printer.copies, row.driverCopies);
        EXPECT_EQ(fake.printer.outputFile, row.flags & PD_PRINTTOFILE && row.file ? row.file : "");
        EXPECT_TRUE(fake.boxes.messages.empty());
    }
}

TEST_F(Printing, TheDialogGetsTheCurrentPrintersSettingsAndWholeNamesInMovableZeroFilledBlocks) {
    const std::string device = "\\\\server\\Принтер бухгалтерии, этаж 3 (Әсел)";  // 43 characters
    fake.printer.printers = {{device, "Драйвер", "LPT1:"}};  // offsets count units, not bytes
    fake.printer.orientation = 2;
    fake.printer.duplex = 3;
    std::vector<std::uint8_t> devMode, devNames;
    fake.dialogs.printDialog = [&](platform::PrintDialogRecord& record) {
        devMode = fake.memory.blocks.at(record.hDevMode);
        devNames = fake.memory.blocks.at(record.hDevNames);
        return false;
    };
    dialog().ShowPrinter();
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(), "GlobalAlloc 0x42 186"), 1);
    const std::string names =
        utf8ToUtf16Le("Драйвер" + std::string(1, '\0') + device + '\0' + "LPT1:" + '\0');
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(),
                         "GlobalAlloc 0x42 " + std::to_string(8 + names.size())),
              1);
    ASSERT_EQ(devMode.size(), 186u);
    // The settings block's field holds the name as far as it can, with its end.
    const std::string field = utf8ToUtf16Le(characters(device, 0, 31)) + std::string(2, '\0');
    EXPECT_EQ(std::string(devMode.begin(), devMode.begin() + 64), field);
    EXPECT_EQ(devMode[68], 186);                                                // dmSize
    EXPECT_EQ(devMode[72] | (devMode[73] << 8) | (devMode[74] << 16), 0x1001);  // dmFields
    EXPECT_EQ(devMode[76], 2);                                                  // dmOrientation
    EXPECT_EQ(devMode[78], 9);                                                  // dmPaperSize
    EXPECT_EQ(devMode[82] | (devMode[83] << 8), 11906);                         // dmPaperWidth
    EXPECT_EQ(devMode[94], 3);                                                  // dmDuplex
    // The names block holds every name whole; its offsets count UTF-16 units.
    EXPECT_EQ(std::vector<int>({devNames[0], devNames[2], devNames[4], devNames[6]}),
              std::vector<int>({4, 4 + 8, 4 + 8 + 44, 0}));
    EXPECT_EQ(std::string(devNames.begin() + 8, devNames.end()), names);
}

TEST_F(Printing, TheChosenNameFromTheNamesBlockIsMatchedInUpperCaseAgainstEveryPrinter) {
    const std::string network = "\\\\print-server-03\\Бухгалтерия, третий этаж";  // 40 characters
    fake.printer.printers = {
        {"PDF", "d", "p"}, {"Laser", "d", "p"}, {"laser", "d", "p"}, {network, "d", "p"}};
    confirmWith("LASER", 3);
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.printer.current, 2u);  // every match becomes current; the last one stays
    EXPECT_EQ(fake.printer.copies, 3);
    confirmWith(network);
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.printer.current, 3u);
    confirmWith("Nobody");
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.printer.current, 3u);
    EXPECT_TRUE(fake.memory.blocks.empty());
}

TEST_F(Printing, ANameWithoutItsEndFailsThroughTheGatedReport) {
    fake.dialogs.printDialog = [this](platform::PrintDialogRecord& record) {
        fake.dialogs.confirmPrintDialog(record, "XX");
        // The header, then "XX" and half a unit (an odd size): read up to its end, never beyond.
        auto& names = fake.memory.blocks.at(record.hDevNames);
        names.resize(15);
        names.shrink_to_fit();
        // A settings block of an older driver, smaller than the program's: copied within it.
        auto& settings = fake.memory.blocks.at(record.hDevMode);
        settings.resize(platform::records::dmCopies + 2);
        settings.shrink_to_fit();
        return true;
    };
    EXPECT_TRUE(dialog().ShowPrinter());  // as cancelled
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text.rfind("Ошибка функции ShowPrinter№5, ", 0), 0u);
    form.Check_MsgBox.setValue(0);
    EXPECT_TRUE(dialog().ShowPrinter());
    EXPECT_EQ(fake.boxes.messages.size(), 1u);  // not shown without the debug box
}

TEST_F(Printing, APrintDialogThatFailsIsReportedAndPrintsNothing) {
    confirmWith("PDF");
    fake.printer.printers.clear();  // no printer: its settings cannot be read
    print("text");
    fake.printer.printers = {{"Roll plotter", "d", "p"}};
    fake.printer.width = 40000;  // a page width in twips that the record's 16-bit field cannot hold
    print("text");
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    ASSERT_EQ(fake.boxes.messages.size(), 2u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции ShowPrinter№482, 'Ошибка принтера', строка 2");
    EXPECT_EQ(fake.boxes.messages[1].text, "Ошибка функции ShowPrinter№6, 'Переполнение', строка 2");
    EXPECT_TRUE(fake.dialogs.printDialogs.empty());
    EXPECT_TRUE(fake.printer.documents.empty());
}

TEST_F(Printing, AFailureAtAnyStepAbandonsTheDocumentBeforeTheReportAndTheNextPrintBeginsAfresh) {
    using Step = fakes::FakePrinter::PrinterStep;
    using State = fakes::FakePrinter::DocumentState;
    fake.printer.printers.push_back({"Laser", "Driver", "LPT1:"});
    const std::string text(5801, 'a');  // two chunks: a paint, a new sheet, a paint, the end
    struct Failure {
        Step step;
        int time;
        int line;
    };
    for (Failure failure : {Failure{Step::Start, 1, 6}, Failure{Step::Paint, 2, 6}, Failure{Step::Page, 1, 6},
                            Failure{Step::End, 1, 7}}) {
        SCOPED_TRACE(static_cast<int>(failure.step));
        for (int debugging : {1, 0}) {
            form.Check_MsgBox.setValue(debugging);
            fake.printer.documents.clear();
            fake.boxes.messages.clear();
            fake.printer.stepsAsked.clear();
            fake.printer.failAt = failure.step;
            fake.printer.failOnTime = failure.time;
            confirmWith("PDF");
            bool openDuringTheReport = true;
            fake.boxes.onMessage = [&](const fakes::ShownMessage&) {
                openDuringTheReport = fake.printer.openDocument() != nullptr;
            };
            print(text);
            EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
            for (const auto& document : fake.printer.documents) {
                EXPECT_EQ(document.state, State::Abandoned);  // begun, never ended
            }
            EXPECT_EQ(fake.printer.documents.empty(), failure.step == Step::Start);
            if (debugging) {
                ASSERT_EQ(fake.boxes.messages.size(), 1u);
                EXPECT_EQ(fake.boxes.messages[0].text,
                          "Ошибка функции vPrint_To_Paper№482, 'Ошибка принтера', строка " +
                              std::to_string(failure.line));
                EXPECT_FALSE(openDuringTheReport);
            } else {
                EXPECT_TRUE(fake.boxes.messages.empty());  // the report waits for the debug box
            }
            // The next print, on the printer chosen then, is a document of its own.
            fake.boxes.onMessage = nullptr;
            fake.printer.failAt = Step::None;
            confirmWith("Laser");
            size_t before = fake.printer.documents.size();
            print(text);
            ASSERT_EQ(fake.printer.documents.size(), before + 1);
            EXPECT_EQ(fake.printer.documents.back().printer, "Laser");
            EXPECT_EQ(fake.printer.documents.back().state, State::Ended);
            EXPECT_EQ(joined(fake.printer.sheets()), text);
            fake.printer.current = 0;
        }
    }
}

TEST_F(Printing, TheOpenDialogGetsItsRecordAndGivesBackThePath) {
    fake.dialogs.openFileBytes = 88;  // the record as the system declares it, with the Windows 2000 tail
    dialog().setFilter("Текст|*.txt|Все|*.*");
    dialog().setInitDir("C:\\Users\\Әлия\\Tivora");  // letters no 8-bit code page holds with Russian
    platform::OpenFileRecord seen;
    fake.dialogs.openDialog = [&](platform::OpenFileRecord& record) {
        seen = record;
        record.lpstrFile = "C:\\Users\\Әлия\\Справка.txt" + std::string(1, '\0') + std::string(10, ' ');
        return true;
    };
    fake.dialogs.existingFiles = {"Справка.txt"};
    EXPECT_FALSE(dialog().ShowOpen(form));
    EXPECT_EQ(seen.lStructSize, 88u);
    EXPECT_EQ(seen.lpstrFilter, std::string("Текст") + '\0' + "*.txt" + '\0' + "Все" + '\0' + "*.*" +
                                    '\0');  // the string's own end makes the second NUL
    EXPECT_EQ(seen.lpstrFile, std::string(255, ' '));
    EXPECT_EQ(seen.nMaxFile, 256u);
    EXPECT_EQ(*seen.lpstrInitialDir, "C:\\Users\\Әлия\\Tivora");
    EXPECT_FALSE(seen.lpstrTitle.has_value());
    EXPECT_EQ(dialog().FileName(), "C:\\Users\\Әлия\\Справка.txt");
    EXPECT_EQ(dialog().FileTitle(), "Справка.txt");
    EXPECT_TRUE(form.enabled());
    fake.dialogs.openDialog = nullptr;  // cancel: the blank buffer stays
    EXPECT_TRUE(dialog().ShowOpen(form));
    EXPECT_EQ(dialog().FileName(), std::string(255, ' '));
    EXPECT_EQ(dialog().FileTitle(), "");
}

TEST_F(Printing, AnOpenDialogThatFailsAnswersFalseReportsOnceAndGivesTheWindowBack) {
    // The last step fails after a cancel: the window cannot take the focus while it is hidden.
    form.hide();
    EXPECT_FALSE(dialog().ShowOpen(form));
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(
        fake.boxes.messages[0].text,
        "Ошибка функции ShowOpen№5, 'Недопустимый вызов процедуры или недопустимый аргумент', строка 7");
    EXPECT_TRUE(form.enabled());
    // The dialog itself fails.
    form.show();
    fake.boxes.messages.clear();
    fake.dialogs.openDialog = [](platform::OpenFileRecord&) -> bool { throw RuntimeError(err::OutOfMemory); };
    EXPECT_FALSE(dialog().ShowOpen(form));
    EXPECT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_TRUE(form.enabled());
}

}  // namespace
}  // namespace tivora
