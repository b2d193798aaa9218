// Cl_Module_CommonDialog: the print dialog, a text printed page by page (on the printer, or into a
// file the save dialog names), and the open-file dialog with its properties. Its failures are
// reported only while the main window's hidden debug box is ticked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/report.h"
#include "dialogs/printed_pages.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "platform/platform.h"

namespace tivora {

// Owned through a shared_ptr (the program-wide cCommonDialog): each dialog method keeps the
// object alive while its modal wait lasts, since the end of the Windows session may release the
// program's reference from inside that wait.
class Cl_Module_CommonDialog : public std::enable_shared_from_this<Cl_Module_CommonDialog> {
public:
    // mainWindow and picture: the window whose coordinate unit printing switches to pixels, and
    // its hidden picture box that each page is drawn on.
    Cl_Module_CommonDialog(platform::Platform& platform, ErrorReporter& reporter, forms::Form& mainWindow,
                           forms::PictureBox& picture);

    // The open-file dialog; true when it was closed without choosing a file.
    bool ShowOpen(forms::Form& Form);
    std::string InitDir();
    void setInitDir(const std::string& New_Path);
    std::string DialogTitle();
    void setDialogTitle(const std::string& Dialog);
    std::string FileTitle();
    std::string FileName();
    void setFileName(const std::string& New_File_Name);
    std::string Tag();
    void setTag(const std::string& Tag_in);
    std::string Filter();
    void setFilter(const std::string& Filter_Text_in);

    // The print dialog, modal to owner (the window that asks, which takes no input meanwhile);
    // true when it was closed without confirming, could not be shown, or the printer chosen is not
    // found (told; nothing changed then). It offers "selection" only when the asking window has
    // text selected.
    bool ShowPrinter(forms::Form* owner = nullptr, bool selectionOffered = false);
    // Asks for the printer through CommonDialog and prints sText, or selection when the user chose
    // it: each 5800 characters begin a page, and lines that one page cannot hold go on the next.
    // The pages of the range chosen, as many copies as asked, on the printer or into a file.
    void vPrint_To_Paper(Cl_Module_CommonDialog& CommonDialog, const std::string& sText,
                         forms::Form* owner = nullptr, const std::string& selection = {});

    // The printer-name block for a driver, device and port name, as long as the names need.
    static std::vector<std::uint8_t> devNames(const std::string& driver, const std::string& device,
                                              const std::string& port);

private:
    // What the print dialog was answered besides the printer and its settings.
    struct Answer {
        int copies = 1;  // that the program prints itself: those the driver cannot make
        bool collate = true;
        bool twoSided;
        int firstPage = 1;
        int lastPage = 0xFFFF;
        bool selection = false;
        bool toFile = false;
    };
    // Where a print to file goes, asked with the save dialog; none when the user cancelled, a
    // printer error when the dialog failed.
    std::optional<std::string> askOutputFile(forms::Form* owner);

    template <class Body>
    bool procedure(std::string_view name, Body&& body) {
        return trap(reporter_, name, ReportForm::OnlyWhenDebugging, std::forward<Body>(body));
    }

    platform::Platform& platform_;
    ErrorReporter& reporter_;
    forms::Form& mainWindow_;
    forms::PictureBox& picture_;
    PrintedPages pages_;

    platform::OpenFileRecord openFile_;
    std::string tag_;
    std::string filter_;
    Answer answer_;
};

}  // namespace tivora
