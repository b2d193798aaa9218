// Whole files as the system reads, writes and replaces them: the requests that let a save put a
// new settings file in the old one's place in one step.
#pragma once

#include <cstdint>
#include <string>

#include "base/error.h"
#include "platform/file_error.h"

namespace tivora::platform {

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
    // How many names (hard links) the file has; 1 where the system cannot tell.
    virtual std::uint32_t names(const std::string& path) = 0;
    // Whether the file may be written and removed: accessDenied when its access list forbids it
    // (none, or another refusal, when it may be or cannot tell now).
    virtual FileError mayReplace(const std::string& path) = 0;
    // ReplaceFileW: fresh takes target's name and keeps target's attributes, access list and named
    // streams (the access list only where the right to change one is granted: elsewhere fresh keeps
    // its own); target is moved to backup on the way. Its errors 1175 to 1177 say what it left.
    virtual FileError replace(const std::string& target, const std::string& fresh,
                              const std::string& backup) = 0;
    // MoveFileExW, written through; never over a file that exists.
    virtual FileError move(const std::string& from, const std::string& to) = 0;
    virtual void remove(const std::string& path) = 0;
    // The system's own words for the error, in the user's language.
    virtual std::string errorText(FileError error) = 0;

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
