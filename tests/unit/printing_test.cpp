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
    print(letters + "zж");  // a page begins after the last whole character of the one before
    ASSERT_EQ(fake.printer.sheets().size(), 2u);
    EXPECT_EQ(joined({fake.printer.sheets()[0]}), letters);
    EXPECT_EQ(joined({fake.printer.sheets()[1]}), "zж");
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
    using namespace platform::records;
    const std::string text = std::string(5800, 'a') + std::string(5800, 'b') + "c";  // a page a chunk
    const std::uint32_t driverFields = fake.printer.driverFields;
    const std::uint32_t copiesOnly = fieldOrientation | fieldCopies;
    struct Answer {
        int deviceCopies = 9, copies = 1, collate = 1, flags = 0;
        int from = 0, to = 0;                   // a range of pages, where chosen
        const char* file = "";                  // named in the save dialog (none: cancelled)
        bool selected = false;                  // text selected in the window
        std::uint32_t fields = 0;               // the driver's, where not its usual ones
        std::size_t ends = 0;                   // where the driver's public part ends (dmSize), where not 220
        int duplex = simplex;                   // the driver's
        bool collates = true, twoSided = true;  // what the driver can do
        int copiesAfter = 0;                    // the copies of a printer chosen in the dialog,
        std::uint32_t fieldsAfter = 0;          // and the fields its block carries
        bool cancelsFileQuestion = false;       // asked by a printer to PDF
        int textPages = 0;           // a text of that many pages, each its letter, in place of "abc"
        const char* pages;           // each page's first letter, '-' for a blank one
        int byDriver = 1;            // copies the driver is asked for
        int chunksDrawn = 0;         // where counted
        const char* told = nullptr;  // the pages the text takes, told in plain words
        int printError = 0, saveError = 0, noSurface = 0;  // a dialog failed; nothing to draw the text on
    };
    for (Answer row : {
             Answer{.flags = PD_PRINTTOFILE, .file = nullptr, .pages = ""},  // cancelled
             Answer{.deviceCopies = 2, .copies = 2, .pages = "abc", .byDriver = 2},
             Answer{.deviceCopies = 1, .copies = 2, .pages = "abcabc"},
             Answer{.deviceCopies = 2, .copies = 3, .pages = "abcabcabc"},  // the driver asked for one
             Answer{.deviceCopies = 1, .copies = 2, .collate = 0, .pages = "aabbcc"},
             // A driver whose block takes no copies is asked for none: the program prints them.
             Answer{.copies = 2, .fields = fieldOrientation | fieldCollate, .pages = "abcabc"},
             // An older driver's public part, ending right after the copies, or within them.
             Answer{.copies = 2, .fields = copiesOnly, .ends = dmCopies + 2, .pages = "abc", .byDriver = 2},
             Answer{
                 .copies = 2, .fields = copiesOnly, .ends = dmCopies + 1, .pages = "abcabc", .byDriver = 0},
             Answer{.from = 2, .to = 3, .pages = "bc"},
             Answer{.from = 1, .to = 1, .pages = "a", .chunksDrawn = 1},  // no further laid out
             Answer{.from = 2, .to = 9, .pages = "bc"},
             Answer{.from = 9, .to = 9, .pages = "", .chunksDrawn = 3, .told = "3 страницы"},
             Answer{.from = 2, .to = 3, .textPages = 1, .pages = "", .told = "1 страницу"},
             Answer{.from = 13, .to = 13, .textPages = 12, .pages = "", .told = "12 страниц"},
             Answer{.from = 22, .to = 22, .textPages = 21, .pages = "", .told = "21 страницу"},
             Answer{.from = 23, .to = 23, .textPages = 22, .pages = "", .told = "22 страницы"},
             Answer{.from = 112, .to = 112, .textPages = 111, .pages = "", .told = "111 страниц"},
             Answer{.from = 2, .to = 2, .selected = true, .pages = "b"},  // of the text
             Answer{.flags = PD_SELECTION, .selected = true, .pages = "xx"},
             Answer{.flags = PD_SELECTION, .pages = "abc"},  // none was offered
             Answer{.flags = PD_PRINTTOFILE, .file = "C:\\Справка.prn", .pages = "abc"},
             Answer{.cancelsFileQuestion = true, .pages = ""},
             // Two-sided: no copy the program makes begins on the back of another.
             Answer{.deviceCopies = 1, .copies = 2, .duplex = 2, .pages = "abc-abc"},
             Answer{.deviceCopies = 1, .copies = 3, .collate = 0, .duplex = 3, .pages = "abababc-c-c"},
             Answer{.deviceCopies = 1, .copies = 2, .from = 1, .to = 2, .duplex = 2, .pages = "abab"},
             Answer{.deviceCopies = 2, .copies = 2, .duplex = 2, .pages = "abc", .byDriver = 2},
             Answer{.deviceCopies = 1, .copies = 2, .duplex = 2, .twoSided = false, .pages = "abcabc"},
             Answer{.deviceCopies = 1, .copies = 2, .duplex = 0, .pages = "abcabc"},  // none set
             // Collated copies of a driver that cannot collate: the program makes them.
             Answer{
                 .deviceCopies = 1, .copies = 3, .collates = false, .copiesAfter = 9, .pages = "abcabcabc"},
             Answer{.deviceCopies = 1, .copies = 3, .copiesAfter = 9, .pages = "abc", .byDriver = 3},
             Answer{.deviceCopies = 2, .copies = 2, .fieldsAfter = fieldOrientation, .pages = "abc"},  // none
             Answer{.deviceCopies = 2,
             .copies = 2,
             .collate = 0,
             .collates = false,
             .pages = "abc",
             .byDriver = 2},
             Answer{.deviceCopies = 2, .copies = 2, .collates = false, .pages = "abc", .byDriver = 2},
             Answer{.deviceCopies = 2, .copies = 2, .fields = copiesOnly, .pages = "abc", .byDriver = 2},
             Answer{.pages = "", .printError = 0x1008},  // each a printer error, not a cancel
             Answer{.flags = PD_PRINTTOFILE, .file = nullptr, .pages = "", .saveError = 0x3003},
             Answer{.pages = "", .noSurface = 1},
         }) {
        SCOPED_TRACE(std::string(row.pages) + (row.told ? " told" : ""));
        fake.printer.deviceCopies = row.deviceCopies;
        fake.printer.driverFields = row.fields ? row.fields : driverFields;
        fake.printer.driverPublicBytes = row.ends ? row.ends : devModePublicBytes;
        fake.printer.driverDuplex = row.duplex;
        fake.printer.deviceCollates = row.collates;
        fake.printer.deviceTwoSided = row.twoSided;
        fake.printer.printers = {
            row.cancelsFileQuestion
                ? fakes::FakePrinter::InstalledPrinter{"Microsoft Print to PDF", "d", "PORTPROMPT:"}
                : fakes::FakePrinter::InstalledPrinter{"PDF", "CUPS-PDF", "CUPS:PDF"}};
        fake.printer.fileQuestionCancelled = row.cancelsFileQuestion;
        fake.dialogs.dialogError = static_cast<std::uint32_t>(row.printError + row.saveError);
        pictureView.surfaceMade = !row.noSurface;
        fake.printer.block.clear();
        fake.printer.documents.clear();
        fake.boxes.messages.clear();
        fake.transcript.clear();
        fake.dialogs.printDialog = [&](PrintDialogRecord& record) {
            if (row.printError) return false;
            record.Flags |= static_cast<std::uint32_t>(row.flags) | (row.from ? PD_PAGENUMS : 0);
            record.nFromPage = static_cast<std::uint16_t>(row.from);
            record.nToPage = static_cast<std::uint16_t>(row.to);
            fake.printer.deviceCopies = row.copiesAfter ? row.copiesAfter : row.deviceCopies;
            fake.dialogs.confirmPrintDialog(record, fake.printer.DeviceName(), row.copies, row.collate);
            if (row.fieldsAfter) {
                auto& chosen = fake.memory.blocks.at(record.hDevMode);
                fakes::put16(chosen, dmFields, static_cast<int>(row.fieldsAfter));
                fakes::put16(chosen, dmCopies, 1);
            }
            return true;
        };
        fake.dialogs.saveDialog = [&](SaveFileRecord& record) {
            return row.file && (record.file = row.file, true);
        };
        const std::string selection = row.selected ? std::string(5801, 'x') : "";
        std::string pagesOfText;
        for (int page = 0; page < row.textPages; ++page) {
            pagesOfText += std::string(5800, static_cast<char>('a' + page % 26));
        }
        dialog().vPrint_To_Paper(dialog(), row.textPages ? pagesOfText : text, nullptr, selection);
        EXPECT_EQ(fake.dialogs.printDialogs.back().Flags & PD_NOSELECTION,
                  selection.empty() ? PD_NOSELECTION : 0);
        const bool driverTakesCopies =
            fake.printer.driverFields & fieldCopies && dmCopies + 2 <= fake.printer.driverPublicBytes;
        EXPECT_EQ(fake.dialogs.printDialogs.back().Flags & PD_USEDEVMODECOPIESANDCOLLATE,
                  driverTakesCopies && row.deviceCopies > 1 ? PD_USEDEVMODECOPIESANDCOLLATE : 0);
        std::string printed;
        for (const auto& sheet : fake.printer.sheets())
            printed += sheet.empty() ? '-' : sheet.front().front();
        EXPECT_EQ(printed, row.pages);
        EXPECT_EQ(fake.printer.documents.size(), printed.empty() ? 0u : 1u);
        EXPECT_EQ(fake.printer.field(dmCopies), row.byDriver);
        EXPECT_EQ(fake.printer.outputFile, row.flags & PD_PRINTTOFILE && row.file ? row.file : "");
        if (row.chunksDrawn) {
            EXPECT_EQ(std::count_if(fake.transcript.begin(), fake.transcript.end(),
                                    [](const std::string& line) { return line.rfind("DrawTextW", 0) == 0; }),
                      row.chunksDrawn);
        }
        const bool failed = row.printError || row.saveError || row.noSurface;
        ASSERT_EQ(fake.boxes.messages.size(), row.told || failed ? 1u : 0u);
        EXPECT_TRUE(!failed || fake.boxes.messages[0].text.find("№482") != std::string::npos);
        if (row.told) {
            const std::string asked = row.from == row.to ? "страницу " : "страницы с 2 по ";
            EXPECT_EQ(fake.boxes.messages[0].text, "Справка занимает на бумаге " + std::string(row.told) +
                                                       ", а печатать просили " + asked +
                                                       std::to_string(row.to) + ". Ничего не напечатано.");
            EXPECT_EQ(fake.boxes.messages[0].title, "Tivora!!!");
        }
        EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    }
}

// What the user set in the driver's own part of the settings, or in public fields the program has
// no business with, reaches the document: the block goes whole from the dialog to the document.
TEST_F(Printing, TheSettingsBlockTheDialogHandsBackIsTheDocumentsWholeButForTheCopies) {
    using namespace platform::records;
    using fakes::field16;
    fake.printer.printers.push_back({"Laser", "Laser driver", "LPT1:"});
    fake.printer.deviceCopies = 2;
    struct Choice {
        const char* printer;
        int copies;
        const char* documentOn;
        bool whole;  // the document made with the dialog's block byte for byte
        char privateMark;
        const char* driverCalls = "";  // what the driver names the device in its block
    };
    char mark = '0';
    for (Choice row : {Choice{"PDF", 1, "PDF", true, '1'},
                       // Three copies the driver cannot make: the block it was given asks it for one.
                       Choice{"PDF", 3, "PDF", false, '2'}, Choice{"Laser", 1, "Laser", true, '3'},
                       // A printer the program does not find again: told, nothing printed anywhere.
                       Choice{"Nobody", 1, nullptr, false, '3'},
                       // A driver that names its model in the block, not the printer.
                       Choice{"PDF", 1, "PDF", true, '5', "CUPS PDF Printer v2"}}) {
        SCOPED_TRACE(row.printer + std::to_string(row.copies));
        fake.printer.driverCalls = row.driverCalls;
        std::vector<std::uint8_t> handedBack;
        fake.dialogs.printDialog = [&](platform::PrintDialogRecord& record) {
            fake.dialogs.confirmPrintDialog(record, row.printer, row.copies);
            // Under "Properties" the user sets two pages on a sheet (in the driver's private part)
            // and a form by its name.
            auto& settings = fake.memory.blocks.at(record.hDevMode);
            settings.back() = static_cast<std::uint8_t>(++mark);
            fakes::put16(settings, dmFormName, 'B');
            handedBack = settings;
            return true;
        };
        fake.transcript.clear();
        fake.boxes.messages.clear();
        const std::size_t before = fake.printer.documents.size();
        print(std::string(5801, 'a'));
        ASSERT_EQ(fake.boxes.messages.size(), row.documentOn ? 0u : 1u);  // «Принтер «Nobody» … не найден»
        if (!row.documentOn) {
            EXPECT_EQ(fake.printer.documents.size(), before);
            continue;
        }
        const auto& document = fake.printer.documents.back();
        EXPECT_EQ(document.printer, row.documentOn);
        EXPECT_EQ(document.state, fakes::FakePrinter::DocumentState::Ended);
        EXPECT_EQ(document.sheets.size(), 2u * row.copies);
        EXPECT_EQ(document.settings == handedBack, row.whole);
        EXPECT_EQ(document.settings.back(), row.privateMark);
        EXPECT_EQ(field16(document.settings, dmFormName), 'B');
        EXPECT_EQ(field16(document.settings, dmCopies), 1);
        EXPECT_TRUE(fake.memory.blocks.empty());  // the blocks the dialog handed back, released
        EXPECT_EQ(
            std::count_if(fake.transcript.begin(), fake.transcript.end(),
                          [](const std::string& line) { return line.rfind("DocumentPropertiesW", 0) == 0; }),
            row.copies == 3 ? 1 : 0);  // nothing else changed through the driver
    }
}

TEST_F(Printing, TheDialogGetsTheCurrentPrintersWholeSettingsAndWholeNamesInMovableBlocks) {
    const std::string device = "\\\\server\\Принтер бухгалтерии, этаж 3 (Әсел)";  // 43 characters
    fake.printer.printers = {{device, "Драйвер", "LPT1:"}};  // offsets count units, not bytes
    fake.printer.privatePart = std::string(300, 'p');
    std::vector<std::uint8_t> devMode, devNames;
    fake.dialogs.printDialog = [&](platform::PrintDialogRecord& record) {
        devMode = fake.memory.blocks.at(record.hDevMode);
        devNames = fake.memory.blocks.at(record.hDevNames);
        return false;
    };
    dialog().ShowPrinter();
    // The driver's block as long as it makes it, its private part with it.
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(), "GlobalAlloc 0x42 520"), 1);
    EXPECT_EQ(devMode, fake.printer.driverBlock(device));
    const std::string names =
        utf8ToUtf16Le("Драйвер" + std::string(1, '\0') + device + '\0' + "LPT1:" + '\0');
    EXPECT_EQ(std::count(fake.transcript.begin(), fake.transcript.end(),
                         "GlobalAlloc 0x42 " + std::to_string(8 + names.size())),
              1);
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
    EXPECT_EQ(fake.printer.field(platform::records::dmCopies), 3);
    confirmWith(network);
    EXPECT_FALSE(dialog().ShowPrinter());
    EXPECT_EQ(fake.printer.current, 3u);
    confirmWith("Nobody");
    EXPECT_TRUE(dialog().ShowPrinter());  // told, as after a cancel
    EXPECT_EQ(fake.printer.current, 3u);
    EXPECT_TRUE(fake.memory.blocks.empty());
}

TEST_F(Printing, ANameWithoutItsEndOrASettingsBlockCutShortFailsThroughTheGatedReport) {
    for (bool namesCut : {true, false}) {
        fake.boxes.messages.clear();
        form.Check_MsgBox.setValue(1);
        fake.dialogs.printDialog = [&](platform::PrintDialogRecord& record) {
            fake.dialogs.confirmPrintDialog(record, "XX");
            if (namesCut) {
                // The header, then "XX" and half a unit (an odd size): read up to its end, never beyond.
                auto& names = fake.memory.blocks.at(record.hDevNames);
                names.resize(15);
                names.shrink_to_fit();
            } else {
                // A block shorter than its public and private parts: nothing is read beyond it.
                auto& settings = fake.memory.blocks.at(record.hDevMode);
                settings.resize(settings.size() - 1);
                settings.shrink_to_fit();
            }
            return true;
        };
        EXPECT_TRUE(dialog().ShowPrinter());  // as cancelled
        ASSERT_EQ(fake.boxes.messages.size(), 1u);
        EXPECT_EQ(fake.boxes.messages[0].text.rfind("Ошибка функции ShowPrinter№5, ", 0), 0u);
        form.Check_MsgBox.setValue(0);
        EXPECT_TRUE(dialog().ShowPrinter());
        EXPECT_EQ(fake.boxes.messages.size(), 1u);  // not shown without the debug box
        EXPECT_TRUE(fake.memory.blocks.empty());
    }
}

TEST_F(Printing, APrintDialogThatFailsIsReportedAndPrintsNothing) {
    confirmWith("PDF");
    fake.printer.printers.clear();  // no printer: its settings cannot be read
    print("text");
    EXPECT_EQ(form.scaleMode(), forms::ScaleMode::Twips);
    ASSERT_EQ(fake.boxes.messages.size(), 1u);
    EXPECT_EQ(fake.boxes.messages[0].text, "Ошибка функции ShowPrinter№482, 'Ошибка принтера', строка 2");
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
