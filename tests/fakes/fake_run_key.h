// A stand-in for the Run key: the values a test puts there, the program files they reach, and
// the names whose start the user switched off.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/run_key.h"

namespace tivora::fakes {

class FakeRunKey : public platform::RunKey {
public:
    std::vector<platform::RunKey::Value> run;
    std::vector<platform::RunKey::Value> runValues() override { return run; }
    // The key of each program file that is there, by each path that reaches it.
    std::map<std::string, std::string> programFiles;
    std::string programFileKey(const std::string& path) override {
        auto found = programFiles.find(path);
        return found == programFiles.end() ? "" : found->second;
    }
    // Names whose start the user switched off in Task Manager.
    std::vector<std::string> switchedOff;
    bool startSwitchedOff(const std::string& name) override {
        for (const auto& off : switchedOff) {
            if (foldCase(off) == foldCase(name)) {
                return true;
            }
        }
        return false;
    }
};

}  // namespace tivora::fakes
