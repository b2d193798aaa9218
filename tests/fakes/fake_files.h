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
    bool fileExists(const std::string& path) override { return disk.files.count(path) > 0; }
    std::string file(const std::string& path) { return disk.files.count(path) ? disk.files[path] : "<none>"; }
    platform::FileError read(const std::string& path, std::string& bytes) override {
        return disk.read(path, bytes);
    }
    platform::FileError write(const std::string& path, const std::string& bytes) override {
        return disk.write(path, bytes);
    }
    platform::FileError flush(const std::string& path) override {
        disk.requests.push_back("flush " + path);
        return disk.files.count(path) ? disk.refusal(path, true) : platform::fileError::fileNotFound;
    }
    platform::FileError replace(const std::string& fresh, const std::string& target) override {
        return disk.replace(fresh, target);
    }
    void remove(const std::string& path) override { disk.remove(path); }
    std::string errorText(platform::FileError error) override {
        return "system error " + std::to_string(error);
    }
    void pause(int milliseconds) override { pausedMilliseconds += milliseconds; }
};

}  // namespace tivora::fakes
