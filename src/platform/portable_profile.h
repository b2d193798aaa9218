// The private-profile functions in portable C++, for where Windows' own are absent (the tests,
// the fuzz target, the benchmarks). The rules they follow are at the top of portable_profile.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace tivora::platform {

// Whole files by path (UTF-8), as bytes, with the system's answer to each request.
class FileStore {
public:
    virtual ~FileStore() = default;
    // fileNotFound when there is no such file.
    virtual FileError read(const std::string& path, std::string& bytes) = 0;
    virtual FileError write(const std::string& path, const std::string& bytes) = 0;
    virtual void remove(const std::string& path) = 0;
};

// Files on disk; paths are UTF-8.
class DiskFileStore : public FileStore {
public:
    FileError read(const std::string& path, std::string& bytes) override;
    FileError write(const std::string& path, const std::string& bytes) override;
    void remove(const std::string& path) override;
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
// kept in Windows-1251, the 8-bit code page of the program's users, or in the encoding that a
// byte-order mark at its start names (UTF-16LE, UTF-16BE, UTF-8).
class PortableProfile : public Profile {
public:
    explicit PortableProfile(FileStore& files) : files_(files) {}

    std::uint32_t GetPrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                           const std::u16string& defaultText, std::u16string& buffer,
                                           const std::u16string& file) override;
    bool WritePrivateProfileStringW(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& value, const std::u16string& file) override;
    FileError lastWriteError() override { return lastWriteError_; }
    // Answers done even when the disk refused the write, as some implementations' writers do.
    bool overlooksWriteErrors = false;

private:
    FileStore& files_;
    FileError lastWriteError_ = fileError::none;
};

}  // namespace tivora::platform
