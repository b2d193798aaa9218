// A stand-in for the system's global memory: blocks of bytes by handle.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fakes/fake_transcript.h"
#include "platform/global_memory.h"

namespace tivora::fakes {

class FakeGlobalMemory : public platform::GlobalMemory {
public:
    explicit FakeGlobalMemory(Transcript& transcript) : transcript_(transcript) {}

    std::map<std::uintptr_t, std::vector<std::uint8_t>> blocks;
    std::uintptr_t nextBlock = 0x1000;
    bool lockFails = false;
    std::uintptr_t GlobalAlloc(std::uint32_t flags, std::size_t bytes) override {
        transcript_.push_back("GlobalAlloc " + hex(flags) + " " + std::to_string(bytes));
        blocks[nextBlock] = std::vector<std::uint8_t>(bytes, 0);
        return nextBlock++;
    }
    void* GlobalLock(std::uintptr_t block) override {
        auto found = blocks.find(block);
        return lockFails || found == blocks.end() ? nullptr : found->second.data();
    }
    bool GlobalUnlock(std::uintptr_t) override { return true; }
    std::uintptr_t GlobalFree(std::uintptr_t block) override { return blocks.erase(block) ? 0 : block; }
    std::size_t GlobalSize(std::uintptr_t block) override {
        auto found = blocks.find(block);
        return found == blocks.end() ? 0 : found->second.size();
    }
    void moveMemory(void* destination, const void* source, std::size_t length) override {
        std::memmove(destination, source, length);
    }

private:
    Transcript& transcript_;
};

}  // namespace tivora::fakes
