// A stand-in for the shell's ShellExecuteW: it records each request and reports success.
#pragma once

#include <cstdint>
#include <string>

#include "fakes/fake_transcript.h"
#include "platform/shell.h"

namespace tivora::fakes {

class FakeShell : public platform::Shell {
public:
    explicit FakeShell(Transcript& transcript) : transcript_(transcript) {}

    std::intptr_t ShellExecuteW(std::uintptr_t owner, const std::string& verb, const std::string& file,
                                const std::string& parameters, const std::string& directory,
                                int show) override {
        transcript_.push_back("ShellExecuteW " + hex(owner) + " " + verb + " " + file + " '" + parameters +
                              "' '" + directory + "' " + std::to_string(show));
        return 42;
    }

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
