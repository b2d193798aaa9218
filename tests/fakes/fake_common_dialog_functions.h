// A stand-in for the common dialogs (print, open, save): the user's answers as a test gives them,
// none meaning cancel, and the files a directory search finds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "fakes/fake_global_memory.h"
#include "fakes/fake_printer.h"
#include "platform/common_dialog_functions.h"

namespace tivora::fakes {

class FakeCommonDialogFunctions : public platform::CommonDialogFunctions {
public:
    // A confirmed print dialog writes its answer into the memory's blocks.
    FakeCommonDialogFunctions(FakeGlobalMemory& memory, FakePrinter& printer)
        : memory_(memory), printer_(printer) {}

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
    // The dialog's answer when the user confirms: the settings block of the device chosen (another
    // printer's brings its driver's own), with the copies and collation where asked for there and
    // where the block carries them, else in the record; a names block with the device given.
    bool confirmPrintDialog(platform::PrintDialogRecord& record, const std::string& device, int copies = 1,
                            bool collate = true) {
        using namespace platform::records;
        if (foldCase(device) != foldCase(printer_.DeviceName())) {
            // Another printer chosen: the dialog hands back a block of its own, from that driver.
            const std::vector<std::uint8_t> made = printer_.driverBlock(device);
            memory_.GlobalFree(record.hDevMode);
            record.hDevMode = memory_.GlobalAlloc(platform::globalMoveable, made.size());
            memory_.blocks.at(record.hDevMode) = made;
        }
        std::vector<std::uint8_t>& settings = memory_.blocks.at(record.hDevMode);
        const bool inSettings = record.Flags & platform::PD_USEDEVMODECOPIESANDCOLLATE;
        const std::uint32_t fields = fieldsOf(settings);
        if (inSettings && dmCopies + 2u <= static_cast<std::size_t>(field16(settings, dmSize))) {
            put16(settings, dmCopies, fields & fieldCopies ? copies : 1);
            if ((fields & fieldCollate) &&
                dmCollate + 2u <= static_cast<std::size_t>(field16(settings, dmSize))) {
                put16(settings, dmCollate, printer_.deviceCollates && collate);
            }
        }
        record.nCopies = static_cast<std::uint16_t>(inSettings ? 1 : copies);
        record.Flags |= !inSettings && collate ? platform::PD_COLLATE : 0;
        memory_.GlobalFree(record.hDevNames);
        auto unit = [](std::size_t v) {
            return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
        };
        // No driver name (at 4), the device's (at 5), no port name after it.
        std::string names = unit(4) + unit(5) + unit(6 + utf8ToUtf16(device).size()) + unit(0) + unit(0) +
                            utf8ToUtf16Le(device) + unit(0) + unit(0);
        record.hDevNames = memory_.GlobalAlloc(platform::globalMoveable, names.size());
        std::copy(names.begin(), names.end(), memory_.blocks.at(record.hDevNames).begin());
        return true;
    }
    std::uint32_t openFileRecordSize() override { return openFileBytes; }
    bool GetOpenFileNameW(platform::OpenFileRecord& record) override {
        return openDialog ? openDialog(record) : false;
    }
    bool GetSaveFileNameW(platform::SaveFileRecord& record) override {
        return saveDialog ? saveDialog(record) : false;
    }
    std::uint32_t dialogError = 0;  // why the last dialog answered false; 0 for a cancel
    std::uint32_t CommDlgExtendedError() override { return dialogError; }
    std::vector<std::string> findFiles(const std::string& pattern) override {
        std::vector<std::string> found;
        for (const auto& name : existingFiles) {
            if (pattern.size() >= name.size() && pattern.substr(pattern.size() - name.size()) == name) {
                found.push_back(name);
            }
        }
        return found;
    }

private:
    FakeGlobalMemory& memory_;
    FakePrinter& printer_;
};

}  // namespace tivora::fakes
