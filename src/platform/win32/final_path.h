// A file's or folder's final path: the name the file system gives it in the end, through links,
// other drive letters, junctions and short names.
#pragma once

#include <string>

namespace tivora::win32 {

// In the usual form (C:\Folder, \\server\share\Folder); empty when the path cannot be opened or
// the system cannot say (before Vista).
std::wstring finalPath(const std::wstring& path);

}  // namespace tivora::win32
