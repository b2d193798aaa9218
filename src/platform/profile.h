// The settings file as the system reads and writes it: the private-profile functions, and the
// whole-file requests that let a save replace the file in one step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/error.h"

namespace tivora::platform {

// The system's code for a file request it refused (GetLastError); 0 when it was done.
using FileError = std::uint32_t;
namespace fileError {
inline constexpr FileError none = 0;
inline constexpr FileError fileNotFound = 2;
inline constexpr FileError accessDenied = 5;
inline constexpr FileError notReady = 21;
inline constexpr FileError writeFault = 29;
inline constexpr FileError sharingViolation = 32;
inline constexpr FileError lockViolation = 33;
inline constexpr FileError diskFull = 112;
inline constexpr FileError alreadyExists = 183;
// ReplaceFileW's own: nothing moved (1175, and 1176 when a backup name is given), or the replaced
// file moved to the backup name and the replacement left under its own (1177).
inline constexpr FileError unableToRemoveReplaced = 1175;
inline constexpr FileError unableToMoveReplacement = 1176;
inline constexpr FileError unableToMoveReplacement2 = 1177;
inline constexpr FileError userMappedFile = 1224;  // a scanner maps the file: it cannot be cut short
}  // namespace fileError

// Another program holds the file open or mapped (a backup or sync tool, an editor, a scanner): a
// refusal that passes.
inline bool heldByAnotherProgram(FileError error) {
    return error == fileError::sharingViolation || error == fileError::lockViolation ||
           error == fileError::userMappedFile;
}

// A value as the profile functions read it back: blanks around it dropped, then one pair of the
// same quotation marks around it.
std::string profileValueAsRead(std::string_view stored);

// Kernel32's GetPrivateProfileStringW and WritePrivateProfileStringW, all in UTF-16 so that any
// folder's name reaches its file. A file without a byte-order mark is in the 8-bit code page (a
// character it lacks written as "?" or a likeness); one with the UTF-16LE mark keeps every one.
class Profile {
public:
    virtual ~Profile() = default;
    // Fills buffer (its size is the buffer size handed over, in UTF-16 units) with the value of
    // key in section, or with the default, cut to size - 1 units; the rest of the buffer is
    // unspecified. Returns the number of units copied. A file that cannot be read reads as none.
    virtual std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                                   const std::u16string& defaultText, std::u16string& buffer,
                                                   const std::u16string& file) = 0;
    // False when the system refused the write; lastWriteError() then says why.
    virtual bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                            const std::u16string& value, const std::u16string& file) = 0;
    virtual FileError lastWriteError() { return fileError::writeFault; }
    // Lets go of what the functions keep of the file, so that the next read reads the disk.
    virtual void flushCache(const std::u16string& file) { (void)file; }
};

class Files {
public:
    virtual ~Files() = default;
    // True when path names an existing file (not a folder); a file held by another program
    // exists all the same.
    virtual bool fileExists(const std::string& path) = 0;
    // The whole file's bytes, or why the system would not give them (fileNotFound: none there).
    virtual FileError read(const std::string& path, std::string& bytes) = 0;
    // Makes the file anew holding these bytes. Only for a file of the program's own making:
    // a failure midway leaves half a file.
    virtual FileError write(const std::string& path, const std::string& bytes) = 0;
    // Sends what the system still holds of the file's bytes to the disk.
    virtual FileError flush(const std::string& path) = 0;
    // The final path of the file that path names when path is a symbolic link to it; "" when path
    // is the file itself, or names nothing. An error when path is a link whose final path cannot be
    // read (its target gone, a volume without a drive letter, a share that will not tell).
    virtual FileError linkTarget(const std::string& path, std::string& target) = 0;
    // True when the file is marked read-only.
    virtual bool readOnly(const std::string& path) = 0;
    // Whether the file may be written and removed: accessDenied when its access list forbids it
    // (none, or another refusal, when it may be or cannot tell now).
    virtual FileError mayReplace(const std::string& path) = 0;
    // ReplaceFileW: fresh takes target's name and keeps target's attributes, access list and named
    // streams; target is moved to backup on the way. Its errors 1175 to 1177 say what it left.
    virtual FileError replace(const std::string& target, const std::string& fresh,
                              const std::string& backup) = 0;
    // MoveFileExW, written through; never over a file that exists.
    virtual FileError move(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // The system's own words for the error, in the user's language.
    virtual std::string errorText(FileError error) = 0;
    // The thread waits before a refused request is tried again.
    virtual void pause(int milliseconds) = 0;
    // The milliseconds since the system started, counting on across a wrap: only differences tell.
    virtual std::uint32_t tickCount() = 0;

    // The whole file as bytes; a file that cannot be read is file not found (53).
    std::string readFile(const std::string& path) {
        std::string bytes;
        if (read(path, bytes) != fileError::none) {
            throw RuntimeError(err::FileNotFound);
        }
        return bytes;
    }
};

}  // namespace tivora::platform
