// The print dialog and its records, the print of a text (its pages: printed_pages.cpp) into a file
// the save dialog names when asked, and the open-file dialog.
#include "dialogs/common_dialog.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "base/text.h"
#include "version.h"

namespace tivora {

namespace {

using namespace std::string_view_literals;

// The save dialog's filter: pairs of a description and its pattern, each ended by a NUL.
constexpr std::string_view printerFiles = "Файлы принтера (*.prn)\0*.prn\0Все файлы (*.*)\0*.*\0"sv;

using namespace platform::records;

void put16(std::uint8_t* at, long value) {
    if (value < -32768 || value > 32767) {
        throw RuntimeError(err::Overflow);  // the field holds a signed 16-bit number
    }
    auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    at[0] = static_cast<std::uint8_t>(bits & 0xFF);
    at[1] = static_cast<std::uint8_t>(bits >> 8);
}

// A settings block's public fields as the program reads them: a field lies within the public
// part, which ends where dmSize says; one it does not reach reads as 0 and is not carried.
class SettingsBlock {
public:
    explicit SettingsBlock(const std::vector<std::uint8_t>& block) : block_(block) {}
    // The block holds the public part and the private part after it whole.
    bool whole() const {
        return get16(dmSize) >= dmFields + 4 && get16(dmSize) + get16(dmDriverExtra) <= block_.size();
    }
    int field(std::size_t offset) const {
        return offset + 2 <= publicBytes() ? static_cast<std::int16_t>(get16(offset)) : 0;
    }
    bool carries(std::uint32_t flag, std::size_t offset) const {
        const std::uint32_t fields = get16(dmFields) | (get16(dmFields + 2) << 16);
        return (fields & flag) && offset + 2 <= publicBytes();
    }

private:
    std::uint32_t get16(std::size_t at) const {
        return at + 2 <= block_.size() ? block_[at] | (block_[at + 1] << 8) : 0;
    }
    std::size_t publicBytes() const { return std::min<std::size_t>(get16(dmSize), block_.size()); }
    const std::vector<std::uint8_t>& block_;
};

// The number of pages in the words of a sentence: "занимает 1 страницу, 3 страницы, 5 страниц".
std::string pagesInWords(int pages) {
    const int tens = pages % 100, units = pages % 10;
    const char* word = units == 1 && tens != 11                               ? "страницу"
                       : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? "страницы"
                                                                              : "страниц";
    return std::to_string(pages) + " " + word;
}

// The device name of a printer-name block as the dialog hands it back: the UTF-16 text at the
// device offset, up to its NUL; none when the name runs out of the block.
std::optional<std::string> chosenDevice(const std::uint8_t* block, std::size_t size) {
    if (!block || size < devNamesHeaderBytes) {
        return std::nullopt;
    }
    const std::size_t at = 2 * static_cast<std::size_t>(block[2] | (block[3] << 8));
    for (std::size_t end = at; end + 1 < size; end += 2) {
        if (block[end] == 0 && block[end + 1] == 0) {
            return utf16LeToUtf8(std::string_view(reinterpret_cast<const char*>(block) + at, end - at));
        }
    }
    return std::nullopt;
}

}  // namespace

Cl_Module_CommonDialog::Cl_Module_CommonDialog(platform::Platform& platform, ErrorReporter& reporter,
                                               forms::Form& mainWindow, forms::PictureBox& picture)
    : platform_(platform),
      reporter_(reporter),
      mainWindow_(mainWindow),
      picture_(picture),
      pages_(platform, picture) {}

std::vector<std::uint8_t> Cl_Module_CommonDialog::devNames(const std::string& driver,
                                                           const std::string& device,
                                                           const std::string& port) {
    const std::string names = utf8ToUtf16Le(driver + '\0' + device + '\0' + port + '\0');
    std::vector<std::uint8_t> block(devNamesHeaderBytes + names.size());
    // The offsets count UTF-16 units from the block's start.
    const std::size_t driverOffset = devNamesHeaderBytes / 2;
    const std::size_t deviceOffset = driverOffset + utf8ToUtf16(driver).size() + 1;
    const std::size_t outputOffset = deviceOffset + utf8ToUtf16(device).size() + 1;
    put16(&block[0], static_cast<long>(driverOffset));
    put16(&block[2], static_cast<long>(deviceOffset));
    put16(&block[4], static_cast<long>(outputOffset));
    put16(&block[6], 0);
    std::copy(names.begin(), names.end(), block.begin() + devNamesHeaderBytes);
    return block;
}

bool Cl_Module_CommonDialog::ShowPrinter(forms::Form* owner, bool selectionOffered) {
    auto self = weak_from_this().lock();  // alive through the dialog's modal wait
    bool cancelled = false;
    // A dialog that failed on its way (a printer whose settings cannot be read, a block cut short)
    // has been reported: the print does not go on as if confirmed.
    bool finished = procedure("ShowPrinter", [&](Step& step) {
        platform::Printer& printer = platform_.printer;
        platform::GlobalMemory& memory = platform_.memory;
        step(1);
        platform::PrintDialogRecord record;
        record.lStructSize = platform_.dialogs.printDialogRecordSize();
        record.hwndOwner = owner ? owner->hWnd() : 0;
        step(2);
        // The current printer's settings block whole, as its driver makes it: the dialog shows,
        // and hands back, what the user set in the driver's own part too.
        std::vector<std::uint8_t> settings = printer.settings();
        // The dialog offers what the print does: the copies in the settings where the driver makes
        // them, a range of pages, and the selection where there is one.
        if (SettingsBlock(settings).carries(fieldCopies, dmCopies) && printer.DeviceCopies() > 1) {
            record.Flags |= platform::PD_USEDEVMODECOPIESANDCOLLATE;
        }
        if (!selectionOffered) {
            record.Flags |= platform::PD_NOSELECTION;
        }
        record.nMinPage = record.nFromPage = record.nToPage = 1;
        record.nMaxPage = 0xFFFF;  // the pages are counted once the paper is known
        record.nCopies = 1;
        const std::uint32_t asked = record.Flags;
        step(3);
        record.hDevMode =
            memory.GlobalAlloc(platform::globalMoveable | platform::globalZeroInit, settings.size());
        if (void* block = memory.GlobalLock(record.hDevMode)) {
            memory.moveMemory(block, settings.data(), settings.size());
            memory.GlobalUnlock(record.hDevMode);
        }
        step(4);
        auto names = devNames(printer.DriverName(), printer.DeviceName(), printer.Port());
        step(5);
        record.hDevNames =
            memory.GlobalAlloc(platform::globalMoveable | platform::globalZeroInit, names.size());
        if (void* block = memory.GlobalLock(record.hDevNames)) {
            memory.moveMemory(block, names.data(), names.size());
            memory.GlobalUnlock(record.hDevNames);
        }
        step(6);
        bool confirmed = platform_.dialogs.PrintDlgW(record);
        step(7);
        if (!confirmed) {
            const bool failed = platform_.dialogs.CommDlgExtendedError() != 0;  // asked before anything else
            memory.GlobalFree(record.hDevMode);
            memory.GlobalFree(record.hDevNames);
            if (failed) {
                throw RuntimeError(err::PrinterError);  // the dialog failed (no printer, no driver…)
            }
            cancelled = true;
            return;
        }
        step(8);
        // The settings block the dialog hands back, whole: that of the printer chosen, as the user
        // left it (where it cannot be read, the one the dialog was given stands).
        if (void* block = memory.GlobalLock(record.hDevMode)) {
            settings.resize(memory.GlobalSize(record.hDevMode));
            memory.moveMemory(settings.data(), block, settings.size());
        }
        memory.GlobalUnlock(record.hDevMode);
        memory.GlobalFree(record.hDevMode);
        step(9);
        // The chosen printer by the names block the dialog hands back, where its name stands
        // whole: the settings block's field holds 31 characters, and a network printer's
        // "\\server\queue" is often longer.
        std::optional<std::string> device =
            chosenDevice(static_cast<const std::uint8_t*>(memory.GlobalLock(record.hDevNames)),
                         memory.GlobalSize(record.hDevNames));
        memory.GlobalUnlock(record.hDevNames);
        memory.GlobalFree(record.hDevNames);
        if (!device || !SettingsBlock(settings).whole()) {
            throw RuntimeError(err::InvalidCall);  // a names block without the name, a block cut short
        }
        std::string chosen = foldCase(*device);
        step(10);
        bool ofCurrent = chosen == foldCase(printer.DeviceName());
        if (!ofCurrent) {
            for (const std::string& installed : printer.installedPrinters()) {
                if (foldCase(installed) == chosen) {
                    printer.makeCurrent(installed);
                    ofCurrent = true;
                }
            }
        }
        if (!ofCurrent) {
            // Removed meanwhile, or not among this user's printers: the document would go elsewhere.
            platform_.messageBoxes.show("Принтер «" + *device +
                                            "», выбранный в окне печати, не найден среди принтеров Windows. "
                                            "Ничего не напечатано.",
                                        TIVORA_TITLE);
            cancelled = true;
            return;
        }
        step(11);
        printer.useSettings(settings);
        // The copies from the settings block where the dialog put them there, else from the record.
        const SettingsBlock block(settings);
        const bool inSettings = asked & platform::PD_USEDEVMODECOPIESANDCOLLATE;
        const int copies = std::max(1, !inSettings                            ? int{record.nCopies}
                                       : block.carries(fieldCopies, dmCopies) ? block.field(dmCopies)
                                                                              : 1);
        const bool collate = inSettings
                                 ? block.carries(fieldCollate, dmCollate) && block.field(dmCollate) == 1
                                 : (record.Flags & platform::PD_COLLATE) != 0;
        // The driver makes them where its block takes copies (and collates them, where asked); the
        // program prints the document again where not. Nothing else in the block is its to change.
        const bool byDriver =
            copies == 1 ||
            (block.carries(fieldCopies, dmCopies) && printer.DeviceCopies() >= copies &&
             (!collate || (block.carries(fieldCollate, dmCollate) && printer.DeviceCollates())));
        printer.setCopies(byDriver ? copies : 1, collate);
        step(12);
        answer_ = Answer{};
        answer_.copies = byDriver ? 1 : copies;
        answer_.collate = collate;
        const int duplex = block.carries(fieldDuplex, dmDuplex) ? block.field(dmDuplex) : simplex;
        answer_.twoSided =
            (duplex == duplexVertical || duplex == duplexHorizontal) && printer.DeviceTwoSided();
        if (record.Flags & platform::PD_PAGENUMS) {
            answer_.firstPage = record.nFromPage;
            answer_.lastPage = record.nToPage;
        }
        answer_.selection = selectionOffered && (record.Flags & platform::PD_SELECTION);
        answer_.toFile = record.Flags & platform::PD_PRINTTOFILE;
    });
    return cancelled || !finished;
}

std::optional<std::string> Cl_Module_CommonDialog::askOutputFile(forms::Form* owner) {
    platform::SaveFileRecord question;
    question.hwndOwner = owner ? owner->hWnd() : 0;
    question.title = "Печать в файл";  // after the print dialog, the user knows what the name is for
    question.filter = printerFiles;
    question.defaultExtension = "prn";
    if (!platform_.dialogs.GetSaveFileNameW(question)) {
        if (platform_.dialogs.CommDlgExtendedError() != 0) {
            throw RuntimeError(err::PrinterError);  // the dialog failed: not a cancel
        }
        return std::nullopt;
    }
    return question.file;
}

void Cl_Module_CommonDialog::vPrint_To_Paper(Cl_Module_CommonDialog& CommonDialog, const std::string& sText,
                                             forms::Form* owner, const std::string& selection) {
    auto self = weak_from_this().lock();                 // alive through the print dialog's modal wait
    auto asking = CommonDialog.weak_from_this().lock();  // and the object that asks for the printer
    forms::ScaleMode remembered = mainWindow_.scaleMode();
    procedure("vPrint_To_Paper", [&](Step& step) {
        platform::Printer& printer = platform_.printer;
        AbandonOnFailure abandon(printer);  // so that the next print begins a document of its own
        step(1);
        mainWindow_.setScaleMode(forms::ScaleMode::Pixels);
        step(2);
        picture_.Cls();
        step(3);
        if (CommonDialog.ShowPrinter(owner, !selection.empty())) {
            return;  // cancelled: nothing printed, no document begun
        }
        const Answer answer = CommonDialog.answer_;
        std::optional<std::string> file;
        if (answer.toFile && !(file = askOutputFile(owner))) {
            return;  // no file named: nothing printed, as after a cancel
        }
        printer.setOutputFile(file.value_or(""));
        const std::string& text = answer.selection ? selection : sText;
        step(4);
        printer.setScaleModePixels();
        step(5);
        picture_.setSize(PrintedPages::pictureWidth, PrintedPages::pictureHeight);
        const PrintedPages::Sheets sheets = pages_.sheetLayout();
        step(6);
        // The text is laid out no further than the range's end (or to its end, to tell how far
        // it goes). Collated copies print the range again, uncollated ones repeat each page, or on
        // two-sided paper each sheet; no copy shares a sheet with another.
        PrintedPages::Layout layout(characterCount(text));
        const int first = answer.firstPage;
        auto inRange = [&](int page) {
            return page <= answer.lastPage && pages_.layOut(layout, text, sheets, page);
        };
        if (!pages_.layOut(layout, text, sheets, first)) {
            const int pages = static_cast<int>(layout.pages.size());
            const std::string asked = first == answer.lastPage ? "страницу " + std::to_string(first)
                                                               : "страницы с " + std::to_string(first) +
                                                                     " по " + std::to_string(answer.lastPage);
            platform_.messageBoxes.show("Справка занимает на бумаге " + pagesInWords(pages) +
                                            ", а печатать просили " + asked + ". Ничего не напечатано.",
                                        TIVORA_TITLE);
            picture_.Cls();
            return;
        }
        const bool blankBacks = answer.twoSided && answer.copies > 1;
        if (answer.collate || answer.copies == 1) {
            for (int copy = 1; copy <= answer.copies; ++copy) {
                int page = first;
                for (; inRange(page); ++page) {
                    if (!pages_.printPage(layout, text, sheets, page)) {
                        return;  // the user cancelled the driver's question: nothing printed
                    }
                }
                if (blankBacks && (page - first) % 2 == 1 && copy < answer.copies) {
                    pages_.newSide(layout);
                }
            }
        } else {
            const int stride = blankBacks ? 2 : 1;  // a sheet's two sides
            for (int page = first; inRange(page); page += stride) {
                const bool back = blankBacks && inRange(page + 1);
                for (int copy = 1; copy <= answer.copies; ++copy) {
                    if (!pages_.printPage(layout, text, sheets, page) ||
                        (back && !pages_.printPage(layout, text, sheets, page + 1))) {
                        return;
                    }
                    if (blankBacks && !back && copy < answer.copies) {
                        pages_.newSide(layout);
                    }
                }
            }
        }
        picture_.Cls();
        step(7);
        printer.EndDoc();
    });
    // On every way out, so that the tray icon's clicks are decoded in twips again.
    mainWindow_.setScaleMode(remembered);
}

bool Cl_Module_CommonDialog::ShowOpen(forms::Form& Form) {
    auto self = weak_from_this().lock();  // alive through the dialog's modal wait
    bool cancelled = false;
    bool disabled = false;
    bool finished = procedure("ShowOpen", [&](Step& step) {
        step(1);
        Form.setEnabled(false);
        disabled = true;
        step(2);
        openFile_.lStructSize = platform_.dialogs.openFileRecordSize();
        openFile_.hwndOwner = 0;
        openFile_.hInstance = platform_.application.instanceHandle();
        step(3);
        std::string filter = filter_;
        std::replace(filter.begin(), filter.end(), '|', '\0');
        openFile_.lpstrFilter = filter + '\0';
        step(4);
        openFile_.lpstrFile = std::string(255, ' ');
        openFile_.nMaxFile = 256;
        step(5);
        bool chosen = platform_.dialogs.GetOpenFileNameW(openFile_);
        step(6);
        if (chosen) {
            // What the dialog left in the buffer: the chosen path, blanks and NULs taken away.
            std::string buffer = openFile_.lpstrFile;
            size_t first = buffer.find_first_not_of(' ');
            size_t last = buffer.find_last_not_of(' ');
            buffer = first == std::string::npos ? "" : buffer.substr(first, last - first + 1);
            buffer.erase(std::remove(buffer.begin(), buffer.end(), '\0'), buffer.end());
            openFile_.lpstrFile = buffer;
        } else {
            cancelled = true;
        }
        step(7);
        disabled = false;
        Form.setEnabled(true);
        Form.setFocus();
    });
    if (!finished) {
        // One report is enough: the window that was disabled is given back without a second.
        if (disabled) {
            try {
                Form.setEnabled(true);
            } catch (const std::exception&) {
            }
        }
        return false;  // a failure is never taken for a cancel
    }
    return cancelled;
}

std::string Cl_Module_CommonDialog::InitDir() { return openFile_.lpstrInitialDir.value_or(""); }
void Cl_Module_CommonDialog::setInitDir(const std::string& New_Path) { openFile_.lpstrInitialDir = New_Path; }
std::string Cl_Module_CommonDialog::DialogTitle() { return openFile_.lpstrTitle.value_or(""); }
void Cl_Module_CommonDialog::setDialogTitle(const std::string& Dialog) { openFile_.lpstrTitle = Dialog; }
std::string Cl_Module_CommonDialog::FileName() { return openFile_.lpstrFile; }
void Cl_Module_CommonDialog::setFileName(const std::string& New_File_Name) {
    openFile_.lpstrFile = New_File_Name;
}
std::string Cl_Module_CommonDialog::Tag() { return tag_; }
void Cl_Module_CommonDialog::setTag(const std::string& Tag_in) { tag_ = Tag_in; }
std::string Cl_Module_CommonDialog::Filter() { return filter_; }
void Cl_Module_CommonDialog::setFilter(const std::string& Filter_Text_in) { filter_ = Filter_Text_in; }

std::string Cl_Module_CommonDialog::FileTitle() {
    std::string title;
    procedure("Get FileTitle", [&](Step& step) {
        step(1);
        std::string name = FileName();
        if (name.empty()) {
            return;  // no name, no file
        }
        std::vector<std::string> found = platform_.dialogs.findFiles(name);
        if (!found.empty()) {
            title = found.front();
        }
    });
    return title;
}

}  // namespace tivora
