// CreateFileW, ReadFile, WriteFile, FlushFileBuffers, ReplaceFileW and MoveFileExW, each answering
// with the system's error code, and FormatMessageW for its words; a file's attributes, final path,
// names, existence, rights and removal; the tick count.
#include "platform/win32/files.h"

#include <windows.h>

#include "platform/win32/final_path.h"
#include "platform/win32/wide.h"

namespace tivora::win32 {

bool Win32Files::fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// The error of the call that just failed, never "done".
platform::FileError failure() {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace

platform::FileError Win32Files::read(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    bytes.clear();
    char chunk[65536];
    DWORD got = 0;
    platform::FileError error = ERROR_SUCCESS;
    while ((error = ReadFile(file, chunk, sizeof chunk, &got, nullptr) ? ERROR_SUCCESS : failure()) ==
               ERROR_SUCCESS &&
           got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return error;
}

platform::FileError Win32Files::write(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    DWORD written = 0;
    platform::FileError error = ERROR_SUCCESS;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        error = failure();
    } else if (written != bytes.size()) {
        error = ERROR_DISK_FULL;
    }
    if (!CloseHandle(file) && error == ERROR_SUCCESS) {
        error = failure();
    }
    return error;
}

platform::FileError Win32Files::flush(const std::string& path) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    platform::FileError error = FlushFileBuffers(file) ? ERROR_SUCCESS : failure();
    CloseHandle(file);
    return error;
}

// A link's final path differs from the path of its own folder's final path and its own name. A
// reparse point whose final path cannot be read may be a link, working or not: never taken for
// the file itself (a save through its own name would replace the link).
platform::FileError Win32Files::linkTarget(const std::string& path, std::string& target) {
    target.clear();
    std::wstring wide = widen(path);
    size_t slash = wide.find_last_of(L"\\/");
    DWORD error = ERROR_SUCCESS;
    std::wstring file = finalPath(wide, &error);
    // Only a symbolic link: a cloud file's placeholder or a deduplicated file is a reparse point too.
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    search != INVALID_HANDLE_VALUE ? void(FindClose(search)) : void();
    bool link = search != INVALID_HANDLE_VALUE && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                found.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
    if (file.empty()) {
        return link && error != ERROR_PROC_NOT_FOUND ? error : ERROR_SUCCESS;  // none before Vista
    }
    if (slash == std::wstring::npos) {
        return ERROR_SUCCESS;
    }
    std::wstring folder = finalPath(wide.substr(0, slash + 1));  // "C:\", never "C:"
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    std::wstring itself = folder + L'\\' + wide.substr(slash + 1);
    bool same = CompareStringOrdinal(itself.c_str(), -1, file.c_str(), -1, TRUE) == CSTR_EQUAL;
    target = same || (folder.empty() && !link) ? "" : narrow(file);
    return ERROR_SUCCESS;
}

bool Win32Files::readOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Opened for no access, only its facts are read; over some shares they come partly or not at all.
std::uint32_t Win32Files::names(const std::string& path) {
    HANDLE file = CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION facts{};
    bool told = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &facts);
    file != INVALID_HANDLE_VALUE ? void(CloseHandle(file)) : void();
    return told && facts.nNumberOfLinks > 1 ? facts.nNumberOfLinks : 1;
}

// Asks for writing and removal as ReplaceFileW will, sharing all, so that another program's hold
// is no answer here; only the access list's is.
platform::FileError Win32Files::mayReplace(const std::string& path) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failure();
    }
    CloseHandle(file);
    return ERROR_SUCCESS;
}

platform::FileError Win32Files::replace(const std::string& target, const std::string& fresh,
                                        const std::string& backup) {
    std::wstring replaced = widen(target), replacement = widen(fresh);
    // Windows' ReplaceFileW carries the hidden and system marks over; Wine's only renames.
    DWORD marks = GetFileAttributesW(replaced.c_str()), own = GetFileAttributesW(replacement.c_str());
    DWORD kept =
        marks == INVALID_FILE_ATTRIBUTES ? 0 : marks & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (kept && own != INVALID_FILE_ATTRIBUTES && (own & kept) != kept) {
        SetFileAttributesW(replacement.c_str(), (own & ~FILE_ATTRIBUTE_NORMAL) | kept);
    }
    // Where the right to change permissions is withheld (a share granting "Change"), the file is
    // replaced all the same, keeping the access list the new file was made with.
    if (!ReplaceFileW(replaced.c_str(), replacement.c_str(), widen(backup).c_str(),
                      REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
        return failure();
    }
    // Its write-through flag "is not supported": the result goes to the disk as MoveFileExW's did.
    HANDLE file = CreateFileW(replaced.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    return ERROR_SUCCESS;
}

platform::FileError Win32Files::move(const std::string& from, const std::string& to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH) ? ERROR_SUCCESS
                                                                                       : failure();
}

void Win32Files::remove(const std::string& path) { DeleteFileW(widen(path).c_str()); }

std::string Win32Files::errorText(platform::FileError error) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) {
        words.pop_back();
    }
    // std::to_wstring would bring the library's whole wide printf into the exe.
    return words.empty() ? "Код ошибки " + std::to_string(error) : narrow(words);
}

}  // namespace tivora::win32
