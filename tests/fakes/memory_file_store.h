// Files in memory for the tests, the fuzz target and the benchmarks: the store the portable
// profile functions read and write, with the faults of a real disk and of other programs, and what
// Windows keeps of a file beside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/portable_profile.h"

namespace tivora::fakes {

// Files in memory, with the faults of a real disk and of other programs as a test sets them.
class MemoryFileStore : public platform::FileStore {
public:
    using FileError = platform::FileError;

    std::map<std::string, std::string> files;
    // Another program holds a path open: it refuses this many requests (every one while negative)
    // with this error, reads too unless it shares them; then it is let go. A scanner takes it again
    // after each write. One that shares removal lets the file go at once, its name pending.
    struct Hold {
        int requests = 0;
        FileError error = platform::fileError::sharingViolation;
        bool sharesReading = false, afterEachWrite = false, sharesRemoval = false;
        int each = 0;
        Hold(int n = 0, FileError e = platform::fileError::sharingViolation, bool r = false, bool w = false,
             bool d = false)
            : requests(n), error(e), sharesReading(r), afterEachWrite(w), sharesRemoval(d), each(n) {}
    };
    std::map<std::string, Hold> held;
    // What a file carries beside its bytes, which ReplaceFileW keeps and a rename loses.
    struct Marks {
        bool readOnly = false, hidden = false, system = false;
        std::string access, streams;  // an access list and named streams the user gave it
        bool denies = false;          // the access list denies writing and removal
        bool operator==(const Marks&) const = default;
    };
    std::map<std::string, Marks> marks;
    // Files that have other names too (hard links); the file that replaces one has its own.
    std::set<std::string> hardLinked;
    // Symbolic links: a link's path and the path it names.
    std::map<std::string, std::string> links;
    // A folder (its path with the final backslash) where nothing can be written, made or replaced.
    std::string readOnlyFolder;
    // A share that grants "Change" but not "Full control": no access list can be changed there.
    std::string changeOnlyFolder;
    // The bytes the disk holds, all files together. A write beyond it fails and leaves the file
    // cut where the disk ran full, as a writer that empties the file first leaves it.
    std::size_t capacity = SIZE_MAX;
    // The next requests of a kind ("replace", "move P") answer these errors in turn (0: done), the
    // last one every later request; each leaves what Windows documents of it (ReplaceFileW's 1177:
    // the old file under the backup name, the new one under its own).
    std::map<std::string, std::deque<FileError>> answers;
    // A rename is one step (NTFS), or on FAT32 and exFAT the new entry written, then the old one
    // removed (over a file, that one removed first).
    bool renameInTwoSteps = false;
    // The power fails once this many changes reached the disk: bytes not flushed since their write
    // are lost (zeros are left), and nothing answers any more. Renames are on the disk at once.
    int cutAfter = -1;
    int changes = 0;
    std::set<std::string> unflushed;

    bool dead() const { return cutAfter >= 0 && changes >= cutAfter; }
    bool exists(const std::string& path) const { return files.count(path) > 0 || links.count(path) > 0; }
    // The file a path names, through its links.
    std::string resolve(std::string path) const {
        for (int hops = 0; hops < 8 && links.count(path); ++hops) {
            path = links.at(path);
        }
        return path;
    }

    FileError read(const std::string& path, std::string& bytes) override {
        std::string file = resolve(path);
        FileError refused = dead()              ? platform::fileError::notReady
                            : files.count(file) ? refusal(file, false)
                                                : platform::fileError::fileNotFound;
        if (!refused) {
            bytes = files[file];
        }
        return refused;
    }

    FileError write(const std::string& path, const std::string& bytes) override {
        std::string file = resolve(path);
        if (FileError refused = dead() ? platform::fileError::notReady : refusal(file, true)) {
            return refused;
        }
        std::size_t others = 0;
        for (const auto& [name, content] : files) {
            others += name == file ? 0 : content.size();
        }
        std::size_t room = capacity > others ? capacity - others : 0;
        files[file] = bytes.substr(0, room);
        unflushed.insert(file);
        if (auto hold = held.find(file); hold != held.end() && hold->second.afterEachWrite) {
            hold->second.requests = hold->second.each;
        }
        changed();
        return bytes.size() > room ? platform::fileError::diskFull : platform::fileError::none;
    }

    FileError flush(const std::string& path) {
        std::string file = resolve(path);
        FileError refused = dead()              ? platform::fileError::notReady
                            : files.count(file) ? refusal(file, true)
                                                : platform::fileError::fileNotFound;
        if (!refused && unflushed.erase(file)) {
            changed();
        }
        return refused;
    }

    void remove(const std::string& path) override {
        auto hold = held.find(path);
        bool shared = hold != held.end() && hold->second.sharesRemoval;
        if (dead() || !exists(path) || (!links.count(path) && !shared && refusal(path, true))) {
            return;
        }
        links.count(path) ? void(links.erase(path)) : drop(path);
        changed();
    }

    // MoveFileExW without leave to replace.
    FileError move(const std::string& from, const std::string& to) {
        FileError answer = dead() ? platform::fileError::notReady : answered("move " + from);
        if (FileError refused = answer          ? answer
                                : !exists(from) ? platform::fileError::fileNotFound
                                : exists(to)    ? platform::fileError::alreadyExists
                                                : refusal(from, true)) {
            return refused;
        }
        return rename(from, to) ? platform::fileError::none : platform::fileError::notReady;
    }

    // ReplaceFileW as Windows documents it: the replacement takes on the replaced file's marks,
    // the replaced file is renamed to the backup name, the replacement to the replaced name.
    FileError replaceFile(const std::string& target, const std::string& fresh, const std::string& backup) {
        if (FileError refused = dead()                              ? platform::fileError::notReady
                                : !exists(target) || !exists(fresh) ? platform::fileError::fileNotFound
                                                                    : refusal(target, true)) {
            return refused;
        }
        if (FileError refused = refusal(fresh, true)) {
            return refused;
        }
        FileError answer = answered("replace");
        if (answer && answer != platform::fileError::unableToMoveReplacement2) {
            return answer;  // both files where they were
        }
        Marks merged = marks[target];
        merged.streams = marks[fresh].streams + marks[target].streams;
        bool keepsAccess = changeOnlyFolder.empty() || !target.starts_with(changeOnlyFolder);
        merged.access = keepsAccess ? merged.access : marks[fresh].access;
        marks[fresh] = merged;
        changed();
        if (dead() || !rename(target, backup)) {
            return platform::fileError::notReady;
        }
        if (answer || dead()) {
            return answer ? answer : platform::fileError::notReady;
        }
        rename(fresh, target);
        hardLinked.erase(target);
        return platform::fileError::none;
    }

    // The refusal a request on path meets now, if any (a held path counts the request).
    FileError refusal(const std::string& path, bool writing) {
        if (auto hold = held.find(path);
            hold != held.end() && hold->second.requests != 0 && (writing || !hold->second.sharesReading)) {
            if (hold->second.requests > 0) {
                --hold->second.requests;
            }
            return hold->second.error;
        }
        bool inReadOnlyFolder = !readOnlyFolder.empty() && path.starts_with(readOnlyFolder);
        bool readOnly = marks.count(path) && (marks[path].readOnly || marks[path].denies);
        return writing && (inReadOnlyFolder || readOnly) ? platform::fileError::accessDenied
                                                         : platform::fileError::none;
    }

    // The file gone, and what it carried.
    void drop(const std::string& path) {
        files.erase(path);
        marks.erase(path);
        unflushed.erase(path);
    }

private:
    FileError answered(const std::string& kind) {
        std::deque<FileError>& queue = answers[kind];
        FileError answer = queue.empty() ? platform::fileError::none : queue.front();
        if (queue.size() > 1) {
            queue.pop_front();
        }
        return answer;
    }
    // Counts a change that reached the disk; at the cut, what was not flushed is lost.
    void changed() {
        if (++changes == cutAfter) {
            for (const std::string& path : unflushed) {
                files[path].assign(files[path].size(), '\0');
            }
        }
    }
    // A file (or a link itself) given another name; false when the power failed on the way.
    bool rename(const std::string& from, const std::string& to) {
        if (exists(to) && renameInTwoSteps) {
            links.count(to) ? void(links.erase(to)) : drop(to);
            changed();
            if (dead()) {
                return false;
            }
        }
        if (links.count(from)) {
            links[to] = links[from];
            files.erase(to);
        } else {
            links.erase(to);
            files[to] = files[from];
            marks.count(from) ? void(marks[to] = marks[from]) : void(marks.erase(to));
            unflushed.count(from) ? void(unflushed.insert(to)) : void(unflushed.erase(to));
        }
        if (renameInTwoSteps) {
            changed();
            if (dead()) {
                return false;  // both names, the same bytes
            }
        }
        links.count(from) ? void(links.erase(from)) : drop(from);
        changed();
        return true;
    }
};

}  // namespace tivora::fakes
