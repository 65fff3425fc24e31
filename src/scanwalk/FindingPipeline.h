// The ordered road from a group routine to the sink. The walk of the registry goes on while a small
// pool of threads tests the files its entries name on slow storage (network paths, drives not met yet
// or found slow), so that it overlaps the walk; a test of a drive that answers fast is made at once on
// the walk's thread, which costs less than handing it over. Whatever the tests' timing, the sink
// receives group starts, findings and counts in exactly the order a sequential run gives them (each
// waits for the tests handed in before it). With no worker threads every test is made at once: a
// sequential run.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/FileSystem.h"
#include "probe/PathTester.h"
#include "scanwalk/ScanSink.h"

namespace korvane {

// How a run's file tests are spread: worker threads, and how many tests may wait for an answer
// before the walk waits for the oldest.
struct ProbeConcurrency {
    int workers = 3;
    std::size_t inFlight = 64;
};

class FindingPipeline {
public:
    // Workers hold a native-paths scope of `files` (see FileSystem.h) while they live; they start
    // when the first test is handed to them.
    FindingPipeline(ScanSink& sink, PathTester& paths, FileSystem& files, ProbeConcurrency concurrency);
    // Stops the workers; tests not yet handed to the sink are dropped.
    ~FindingPipeline();
    FindingPipeline(const FindingPipeline&) = delete;
    FindingPipeline& operator=(const FindingPipeline&) = delete;

    // Calling thread (the scan's worker) only.
    void BeginGroup(int group);
    void Add(ScanFinding finding);
    // Whether a test of `text` is best made at once by the caller: without workers, or on storage that
    // answers fast (a hand-over would cost more than the test).
    bool JudgesAtOnce(const std::string& text, RegistryView view) {
        return concurrency_.workers <= 0 || paths_.AnswersQuickly(text, view);
    }
    // A finding whose target (its keyValue) is tested by the workers first: filed when it is not
    // present, with the guessed path and the evidence of the test; certain only when the test said
    // "missing".
    void AddUnlessPresent(ScanFinding finding, RegistryView view, const TargetForm& form = {});
    void WriteCount(int group);
    // Hands everything still held to the sink, in order; waits for the tests it needs. An error a
    // test raised is raised here, after the items before it were handed on.
    void Flush();

private:
    enum class Kind { Begin, Finding, Target, Count };
    struct Item {
        Kind kind = Kind::Finding;
        ScanFinding finding;
        RegistryView view = RegistryView::Bits64;
        TargetForm form{};
        bool keep = true;
        std::exception_ptr error;
        std::atomic<bool> done{false};  // set by a worker under mutex_, read by the calling thread
    };

    void Push(std::unique_ptr<Item> item);
    void Emit(Item& item);
    void Evaluate(Item& item);
    void Publish();      // hands the batch to the workers
    void HandOnReady();  // gives the sink every finished item at the head
    void WaitForHead();
    void WorkerLoop();

    ScanSink& sink_;
    PathTester& paths_;
    FileSystem& files_;
    ProbeConcurrency concurrency_;

    std::deque<std::unique_ptr<Item>> order_;  // calling thread only
    std::vector<Item*> batch_;                 // not yet handed to the workers

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable finished_;
    std::deque<Item*> queue_;
    int idle_ = 0;
    bool headWanted_ = false;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace korvane
