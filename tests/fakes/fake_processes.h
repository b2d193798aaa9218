// A stand-in for starting processes: it records the command lines and system tools started, and
// a test sets startFailure to make a start fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "fakes/fake_transcript.h"
#include "platform/processes.h"

namespace tivora::fakes {

class FakeProcesses : public platform::Processes {
public:
    explicit FakeProcesses(Transcript& transcript) : transcript_(transcript) {}

    std::vector<std::string> started;
    int startFailure = 0;
    std::uint32_t start(const std::string& commandLine, platform::WindowStyle style) override {
        transcript_.push_back("Start " + commandLine + " (style " + std::to_string(static_cast<int>(style)) +
                              ")");
        if (startFailure) {
            throw RuntimeError(startFailure);
        }
        started.push_back(commandLine);
        return 4242;
    }
    // The system's own tools started, each as "tool arguments": the real platform runs the tool
    // from the system folder, a plain start would search for it.
    std::vector<std::string> systemToolsStarted;
    std::uint32_t startSystemTool(const std::string& tool, const std::string& arguments,
                                  platform::WindowStyle style) override {
        transcript_.push_back("Start system tool " + tool + " " + arguments + " (style " +
                              std::to_string(static_cast<int>(style)) + ")");
        if (startFailure) {
            throw RuntimeError(startFailure);
        }
        systemToolsStarted.push_back(tool + " " + arguments);
        return 4343;
    }

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
