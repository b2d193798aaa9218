// The private-profile functions in portable C++, for where Windows' own are absent (the native
// build and its tests). The rules they follow are gathered at the top of portable_profile.cpp.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace tivora::platform {

// Whole files by path (UTF-8), as bytes.
class FileStore {
public:
    virtual ~FileStore() = default;
    virtual std::optional<std::string> read(const std::string& path) = 0;
    virtual bool write(const std::string& path, const std::string& bytes) = 0;
};

// Files on disk; paths are UTF-8. A write goes to a new file that then replaces the old one,
// so that a crash mid-write never leaves half a settings file.
class DiskFileStore : public FileStore {
public:
    std::optional<std::string> read(const std::string& path) override;
    bool write(const std::string& path, const std::string& bytes) override;
};

// Files in memory, for tests.
class MemoryFileStore : public FileStore {
public:
    std::map<std::string, std::string> files;
    std::optional<std::string> read(const std::string& path) override;
    bool write(const std::string& path, const std::string& bytes) override;
};

// One line of a profile file as the rules see it.
struct ProfileLine {
    enum class Kind { Blank, Section, Entry, Other };
    Kind kind = Kind::Blank;
    std::string text;   // the line as it stands, without its line end
    std::string name;   // a section's or key's name, blanks around it dropped
    std::string value;  // an entry's value as stored, after the first "="
    bool hasValue = false;
};

// The lines of a profile file's text (UTF-8).
std::vector<ProfileLine> parseProfile(std::string_view text);

// The wide functions: the file's path reaches the store whole (as UTF-8), and the file's text is
// kept in Windows-1251, the 8-bit code page of the program's users, or in UTF-16LE in a file
// that begins with its byte-order mark.
class PortableProfile : public Profile {
public:
    explicit PortableProfile(FileStore& files) : files_(files) {}

    std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                           const std::u16string& defaultText, std::u16string& buffer,
                                           const std::u16string& file) override;
    bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& value, const std::u16string& file) override;

private:
    FileStore& files_;
};

}  // namespace tivora::platform
