// A stand-in for the system's files and the settings file's profile functions, both over one
// disk in memory.
#pragma once

#include <string>

#include "fakes/memory_file_store.h"
#include "platform/portable_profile.h"
#include "platform/profile.h"

namespace tivora::fakes {

class FakeFiles : public platform::Files {
public:
    // Files live in memory, keyed by their whole path (UTF-8), as the system names them through
    // its wide functions; the settings file is read and written by the portable profile functions.
    // The store's faults (a file held, a read-only folder, a full disk) reach both.
    MemoryFileStore disk;
    platform::PortableProfile profile{disk};
    int pausedMilliseconds = 0;
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
    std::string linkTarget(const std::string& path) override {
        std::string target = disk.resolve(path);
        return disk.links.count(path) && disk.files.count(target) ? target : "";
    }
    bool readOnly(const std::string& path) override {
        auto marks = disk.marks.find(disk.resolve(path));
        return marks != disk.marks.end() && marks->second.readOnly;
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
    void pause(int milliseconds) override { pausedMilliseconds += milliseconds; }
};

}  // namespace tivora::fakes
