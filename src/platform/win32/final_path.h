// A file's or folder's final path: the name the file system gives it in the end, through links,
// other drive letters, junctions and short names.
#pragma once

#include <string>

namespace tivora::win32 {

// In the usual form (C:\Folder, \\server\share\Folder); empty when the path cannot be opened or
// the system cannot say (before Vista), and then error (when given) holds the system's reason.
std::wstring finalPath(const std::wstring& path, unsigned long* error = nullptr);

}  // namespace tivora::win32
