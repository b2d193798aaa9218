// The private-profile functions in portable C++, by the rules Windows' own show the program
// (docs/notes.md lists them): sections, entries, case, quotes, encodings by byte-order mark.
#include "platform/portable_profile.h"

#include "base/text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tivora::platform {

namespace {

bool sameName(std::string_view a, std::string_view b) { return equalsIgnoringAsciiCase(a, b); }

ProfileLine classify(std::string_view text) {
    ProfileLine line;
    line.text = std::string(text);
    std::string_view content = trimBlanks(text);
    if (content.empty()) {
        line.kind = ProfileLine::Kind::Blank;
    } else if (content.front() == '[') {
        size_t close = content.find(']');
        if (close == std::string_view::npos) {
            line.kind = ProfileLine::Kind::Other;
        } else {
            line.kind = ProfileLine::Kind::Section;
            line.name = std::string(trimBlanks(content.substr(1, close - 1)));
        }
    } else {
        line.kind = ProfileLine::Kind::Entry;
        size_t equals = content.find('=');
        line.name = std::string(trimBlanks(content.substr(0, equals)));
        if (equals != std::string_view::npos) {
            line.hasValue = true;
            line.value = std::string(text.substr(text.find('=') + 1));
        }
    }
    return line;
}

// The lines of a section: its header (none for the lines before the first header) and the
// lines up to the next header.
struct SectionSpan {
    std::optional<size_t> header;
    size_t begin = 0;
    size_t end = 0;
    bool found = false;
};

SectionSpan findSection(const std::vector<ProfileLine>& lines, std::string_view section) {
    SectionSpan span;
    auto endFrom = [&](size_t i) {
        while (i < lines.size() && lines[i].kind != ProfileLine::Kind::Section) {
            ++i;
        }
        return i;
    };
    if (section.empty()) {
        span.found = true;
        span.end = endFrom(0);
        return span;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == ProfileLine::Kind::Section && sameName(lines[i].name, section)) {
            span.header = i;
            span.begin = i + 1;
            span.end = endFrom(i + 1);
            span.found = true;
            return span;
        }
    }
    return span;
}

std::optional<size_t> findEntry(const std::vector<ProfileLine>& lines, const SectionSpan& span,
                                std::string_view key) {
    for (size_t i = span.begin; i < span.end; ++i) {
        if (lines[i].kind == ProfileLine::Kind::Entry && sameName(lines[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

// A file's text as UTF-8, and the encoding the file keeps it in.
struct ProfileText {
    std::string text;
    TextMark mark = TextMark::None;
};

ProfileText decode(std::string_view bytes) {
    TextMark mark = textMark(bytes);
    return {mark == TextMark::None ? cp1251ToUtf8(bytes) : markedTextToUtf8(bytes), mark};
}

std::string encode(const std::string& text, TextMark mark) {
    return mark == TextMark::None ? utf8ToCp1251(text) : utf8ToMarkedText(text, mark);
}

}  // namespace

std::vector<ProfileLine> parseProfile(std::string_view text) {
    std::vector<ProfileLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(classify(text.substr(start)));
            break;
        }
        lines.push_back(classify(text.substr(start, end - start)));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::uint32_t PortableProfile::GetPrivateProfileStringW(const std::u16string& section,
                                                        const std::u16string& key,
                                                        const std::u16string& defaultText,
                                                        std::u16string& buffer, const std::u16string& file) {
    std::u16string value = defaultText;
    if (std::string bytes; files_.read(utf16ToUtf8(file), bytes) == fileError::none) {
        std::vector<ProfileLine> lines = parseProfile(decode(bytes).text);
        SectionSpan span = findSection(lines, utf16ToUtf8(section));
        if (span.found) {
            if (auto entry = findEntry(lines, span, utf16ToUtf8(key)); entry && lines[*entry].hasValue) {
                value = utf8ToUtf16(profileValueAsRead(lines[*entry].value));
            }
        }
    }
    if (buffer.empty()) {
        return 0;
    }
    size_t count = std::min(value.size(), buffer.size() - 1);
    std::copy_n(value.begin(), count, buffer.begin());
    buffer[count] = u'\0';
    return static_cast<std::uint32_t>(count);
}

bool PortableProfile::WritePrivateProfileStringW(const std::u16string& wideSection,
                                                 const std::u16string& wideKey,
                                                 const std::u16string& wideValue,
                                                 const std::u16string& wideFile) {
    std::string file = utf16ToUtf8(wideFile);
    std::string section = utf16ToUtf8(wideSection);
    std::string key = utf16ToUtf8(wideKey);
    std::string value = utf16ToUtf8(wideValue);
    std::string bytes;
    if (FileError error = files_.read(file, bytes); error != fileError::none) {
        if (error != fileError::fileNotFound) {
            lastWriteError_ = error;
            return false;
        }
        bytes.clear();
    }
    ProfileText before = decode(bytes);
    std::vector<ProfileLine> lines = parseProfile(before.text);
    std::string entry = key + "=" + value;
    SectionSpan span = findSection(lines, section);
    if (!span.found) {
        lines.push_back(classify("[" + section + "]"));
        lines.push_back(classify(entry));
    } else if (auto existing = findEntry(lines, span, key)) {
        lines[*existing] = classify(lines[*existing].name + "=" + value);
    } else {
        size_t at = span.begin;
        for (size_t i = span.begin; i < span.end; ++i) {
            if (lines[i].kind == ProfileLine::Kind::Entry) {
                at = i + 1;
            }
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), classify(entry));
    }
    std::string text;
    for (const auto& line : lines) {
        text += line.text;
        text += "\r\n";
    }
    lastWriteError_ = files_.write(file, encode(text, before.mark));
    return lastWriteError_ == fileError::none || overlooksWriteErrors;
}

namespace {

// A path of the program's text (UTF-8) as the file system takes it, whatever the locale.
std::filesystem::path diskPath(const std::string& path) { return std::u8string(path.begin(), path.end()); }

}  // namespace

FileError DiskFileStore::read(const std::string& path, std::string& bytes) {
    std::filesystem::path file = diskPath(path);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::error_code ignored;
        return std::filesystem::exists(file, ignored) ? fileError::accessDenied : fileError::fileNotFound;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return fileError::none;
}

FileError DiskFileStore::write(const std::string& path, const std::string& bytes) {
    std::ofstream out(diskPath(path), std::ios::binary | std::ios::trunc);
    if (!out) {
        return fileError::accessDenied;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out ? fileError::none : fileError::writeFault;
}

void DiskFileStore::remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(diskPath(path), ignored);
}

}  // namespace tivora::platform
