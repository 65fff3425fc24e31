// One scan run over the groups, the one way in for the window and for the console: the same path
// tests, the same order and the same stop rule, whoever asks.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>

#include "platform/FileSystem.h"
#include "platform/RegistryBackend.h"
#include "platform/SystemInfo.h"
#include "probe/ProbeMemory.h"
#include "scanwalk/FindingPipeline.h"
#include "scanwalk/ScanSink.h"

namespace korvane {

// What a run reads and how it tests the files its entries name.
struct ScanRun {
    RegistryBackend& registry;
    FileSystem& files;
    SystemInfo& system;
    int versionClass = 0;  // WindowsVersionClass as it was when the run started
    // Without workers (the default) every file test is made at once, on the calling thread.
    ProbeConcurrency concurrency{0, 1};
    std::chrono::milliseconds probeBudget = kProbeBudget;
};

// Whether the group of that number runs; asked just before its turn, so the window can read its check
// box at that moment.
using ScanGroupChoice = std::function<bool(int group)>;

// Runs the groups `runs` chooses, in number order, on the calling thread; everything they filed has
// reached `sink` when it returns (or throws). A stop asked for through `stop` ends the group at its
// next stop test, and no later group starts. The file tests see the file system as a 64-bit program
// does, from the 32-bit build too (see PathTester.h). `examined`, when given, holds the entries the
// groups examined, brought up to date after each group, so a failed run still says how far it came.
void RunScan(const ScanRun& run, ScanSink& sink, std::stop_token stop, const ScanGroupChoice& runs,
             std::uint64_t* examined = nullptr);

}  // namespace korvane
