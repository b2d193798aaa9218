// A stand-in for the claim on the program folder and the requests to the running copy: the
// system's answers to each, in turn, as a test sets them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fakes/fake_transcript.h"
#include "platform/instances.h"

namespace tivora::fakes {

class FakeInstances : public platform::Instances {
public:
    explicit FakeInstances(Transcript& transcript) : transcript_(transcript) {}

    // Once the answers run out, the folder is free and the running copy does not answer.
    std::vector<bool> claims;
    std::vector<bool> showRequests;
    std::size_t claimsMade = 0;
    std::size_t showRequestsMade = 0;
    bool claimProgramFolder(const std::string& folder, int waitMilliseconds) override {
        transcript_.push_back("Claim " + folder + (waitMilliseconds > 0 ? " (waiting)" : ""));
        return claimsMade < claims.size() ? claims[claimsMade++] : (++claimsMade, true);
    }
    void releaseProgramFolder() override { transcript_.push_back("Release the program folder"); }
    bool askRunningCopyToShow(const std::string& folder) override {
        transcript_.push_back("Ask the copy of " + folder + " to show");
        return showRequestsMade < showRequests.size() ? showRequests[showRequestsMade++]
                                                      : (++showRequestsMade, false);
    }

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
