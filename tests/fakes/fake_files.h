// A stand-in for the system's files and the settings file's profile functions, both over one
// disk in memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "fakes/memory_file_store.h"
#include "platform/files.h"
#include "platform/portable_profile.h"

namespace tivora::fakes {

class FakeFiles : public platform::Files {
public:
    // Files live in memory, keyed by their whole path (UTF-8), as the system names them through
    // its wide functions; the settings file is read and written by the portable profile functions.
    // The store's faults (a file held, a read-only folder, a full disk) reach both.
    MemoryFileStore disk;
    platform::PortableProfile profile{disk};
    // Links whose final path the system will not tell (a volume without a drive letter, a share).
    std::map<std::string, platform::FileError> finalPathRefused;
    // As GetFileAttributesW: a link is there, whether or not what it names is.
    bool fileExists(const std::string& path) override { return !disk.dead() && disk.exists(path); }
    std::string file(const std::string& path) { return disk.files.count(path) ? disk.files[path] : "<none>"; }
    platform::FileError read(const std::string& path, std::string& bytes) override {
        return disk.read(path, bytes);
    }
    // CreateFileW's CREATE_ALWAYS with normal attributes refuses a hidden or system file.
    platform::FileError write(const std::string& path, const std::string& bytes) override {
        auto marks = disk.marks.find(disk.resolve(path));
        bool hidden =
            disk.exists(path) && marks != disk.marks.end() && (marks->second.hidden || marks->second.system);
        return hidden ? platform::fileError::accessDenied : disk.write(path, bytes);
    }
    platform::FileError flush(const std::string& path) override { return disk.flush(path); }
    platform::FileError linkTarget(const std::string& path, std::string& target) override {
        target = disk.resolve(path);
        auto refused = finalPathRefused.find(path);
        platform::FileError error = !disk.links.count(path)             ? platform::fileError::none
                                    : refused != finalPathRefused.end() ? refused->second
                                    : disk.files.count(target)          ? platform::fileError::none
                                                                        : platform::fileError::fileNotFound;
        target = disk.links.count(path) && !error ? target : "";
        return error;
    }
    bool readOnly(const std::string& path) override {
        auto marks = disk.marks.find(disk.resolve(path));
        return marks != disk.marks.end() && marks->second.readOnly;
    }
    std::uint32_t names(const std::string& path) override { return disk.hardLinked.count(path) ? 2 : 1; }
    // Another program's hold, whatever ReplaceFileW would answer, is a sharing violation here.
    platform::FileError mayReplace(const std::string& path) override {
        std::string file = disk.resolve(path);
        auto hold = disk.held.find(file);
        bool holding = hold != disk.held.end() && hold->second.requests != 0;
        platform::FileError refused = disk.dead()               ? platform::fileError::notReady
                                      : !disk.files.count(file) ? platform::fileError::fileNotFound
                                                                : disk.refusal(file, true);
        return holding && refused ? platform::fileError::sharingViolation : refused;
    }
    platform::FileError replace(const std::string& target, const std::string& fresh,
                                const std::string& backup) override {
        return disk.replaceFile(target, fresh, backup);
    }
    platform::FileError move(const std::string& from, const std::string& to) override {
        return disk.move(from, to);
    }
    void remove(const std::string& path) override { disk.remove(path); }
    std::string errorText(platform::FileError error) override {
        return "system error " + std::to_string(error);
    }
};

}  // namespace tivora::fakes
