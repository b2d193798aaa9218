// Files in memory for the tests, the fuzz target and the benchmarks: the store the portable
// profile functions read and write, with the faults of a real disk and of other programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/portable_profile.h"

namespace tivora::fakes {

// Files in memory, with the faults of a real disk and of other programs as a test sets them.
class MemoryFileStore : public platform::FileStore {
public:
    using FileError = platform::FileError;

    std::map<std::string, std::string> files;
    // Paths another program holds open without sharing: each refuses this many requests (every
    // one while negative), then is let go.
    std::map<std::string, int> held;
    // Files marked read-only: read, never written over or replaced.
    std::set<std::string> readOnly;
    // A folder (its path with the final backslash) where nothing can be written, made or replaced.
    std::string readOnlyFolder;
    // The bytes the disk holds, all files together. A write beyond it fails and leaves the file
    // cut where the disk ran full, as a writer that empties the file first leaves it.
    std::size_t capacity = SIZE_MAX;
    // Every request, in order: "read P", "write P", "replace P by Q", "remove P", "flush P".
    std::vector<std::string> requests;

    FileError read(const std::string& path, std::string& bytes) override {
        requests.push_back("read " + path);
        auto found = files.find(path);
        if (found == files.end()) {
            return platform::fileError::fileNotFound;
        }
        if (FileError refused = refusal(path, false)) {
            return refused;
        }
        bytes = found->second;
        return platform::fileError::none;
    }

    FileError write(const std::string& path, const std::string& bytes) override {
        requests.push_back("write " + path);
        if (FileError refused = refusal(path, true)) {
            return refused;
        }
        std::size_t others = 0;
        for (const auto& [name, content] : files) {
            others += name == path ? 0 : content.size();
        }
        std::size_t room = capacity > others ? capacity - others : 0;
        files[path] = bytes.substr(0, room);
        return bytes.size() > room ? platform::fileError::diskFull : platform::fileError::none;
    }

    FileError replace(const std::string& fresh, const std::string& target) override {
        requests.push_back("replace " + target + " by " + fresh);
        auto found = files.find(fresh);
        if (found == files.end()) {
            return platform::fileError::fileNotFound;
        }
        if (FileError refused = refusal(target, true)) {
            return refused;
        }
        files[target] = std::move(found->second);
        files.erase(fresh);
        return platform::fileError::none;
    }

    void remove(const std::string& path) override {
        requests.push_back("remove " + path);
        if (refusal(path, true) == platform::fileError::none) {
            files.erase(path);
        }
    }

    // The refusal a request on path meets now, if any (a held path counts the request).
    FileError refusal(const std::string& path, bool writing) {
        if (auto hold = held.find(path); hold != held.end() && hold->second != 0) {
            if (hold->second > 0) {
                --hold->second;
            }
            return platform::fileError::sharingViolation;
        }
        bool inReadOnlyFolder = !readOnlyFolder.empty() && path.starts_with(readOnlyFolder);
        if (writing && (inReadOnlyFolder || readOnly.count(path) > 0)) {
            return platform::fileError::accessDenied;
        }
        return platform::fileError::none;
    }
};

}  // namespace tivora::fakes
