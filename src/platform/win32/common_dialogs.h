// comdlg32's print, open-file and save-file dialogs (bound at first use), and the directory
// search that lists the files a pattern names.
#pragma once

#include "platform/common_dialog_functions.h"

namespace tivora::win32 {

class Win32CommonDialogs : public platform::CommonDialogFunctions {
public:
    std::uint32_t printDialogRecordSize() override;
    bool PrintDlgW(platform::PrintDialogRecord& record) override;
    std::uint32_t openFileRecordSize() override;
    bool GetOpenFileNameW(platform::OpenFileRecord& record) override;
    bool GetSaveFileNameW(platform::SaveFileRecord& record) override;
    std::uint32_t CommDlgExtendedError() override;
    std::vector<std::string> findFiles(const std::string& pattern) override;
};

}  // namespace tivora::win32
