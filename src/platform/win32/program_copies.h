// The copies of the program in the user's logon session, told apart by their program folder: the
// folder's claim (a named mutex), a folder's running copies found by their application windows,
// and the request to show the main window. The installer's custom action uses them too.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/instances.h"

namespace tivora::win32 {

// A folder as one key, however it is written or reached: its final path (drive letters,
// junctions and short names resolved; its long name for a folder that is not there), in upper
// case, without a trailing backslash. Windows names files without regard to letter case.
std::wstring folderKey(std::wstring_view folder);

// The name of the mutex that the folder's one copy holds: a hash of the folder's key, since a
// mutex name cannot hold backslashes, in the logon session's own namespace (Local\).
std::wstring oneCopyMutexName(std::wstring_view folder);

struct RunningCopy {
    DWORD processId = 0;
    HWND applicationWindow = nullptr;
};

// The other processes whose program file lies in the folder, each with its application window.
std::vector<RunningCopy> runningCopies(std::wstring_view folder);

// The registered message that asks a running copy to show its main window, and the answer of a
// copy that takes the request.
UINT showRequestMessage();
// The class of the application window by which another start finds this copy.
inline constexpr wchar_t applicationClass[] = L"TivoraApplication";
inline constexpr LRESULT showRequestTaken = 0x54697631;

class ProgramCopies : public platform::Instances {
public:
    ProgramCopies() = default;
    ~ProgramCopies() override;
    ProgramCopies(const ProgramCopies&) = delete;
    ProgramCopies& operator=(const ProgramCopies&) = delete;

    bool claimProgramFolder(const std::string& folder, int waitMilliseconds) override;
    bool askRunningCopyToShow(const std::string& folder) override;
    void releaseProgramFolder() override { release(); }

private:
    void release();

    std::wstring name_;
    HANDLE mutex_ = nullptr;
    bool owned_ = false;
};

}  // namespace tivora::win32
