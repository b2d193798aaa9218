// The system's answer to a file request, as the profile functions and the whole-file requests
// give it.
#pragma once

#include <cstdint>

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

}  // namespace tivora::platform
