// The signature checks of a list, run on worker threads (PublisherChecks.h).
#include "core/PublisherChecks.h"

#include <algorithm>
#include <atomic>
#include <set>

namespace korvane {

namespace {

// A check mostly waits for the disk and the system's hashing, so a few more threads than cores pay;
// more would only crowd the disk.
unsigned CheckThreadCount(std::size_t paths) {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::min<std::size_t>(paths, std::clamp(cores * 2, 2u, 8u)));
}

}  // namespace

struct PublisherChecks::Run {
    std::vector<std::string> paths;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::size_t delivered = 0;  // window's thread only
    OnAnswer onAnswer;
    std::function<void()> onDone;
};

PublisherChecks::~PublisherChecks() {
    Stop();
}

void PublisherChecks::Start(std::vector<std::string> paths, OnAnswer onAnswer, std::function<void()> onDone) {
    Stop();
    auto run = std::make_shared<Run>();
    std::set<std::string> seen;
    for (std::string& path : paths)
        if (!path.empty() && seen.insert(path).second) run->paths.push_back(std::move(path));
    run->onAnswer = std::move(onAnswer);
    run->onDone = std::move(onDone);
    run_ = run;
    running_ = true;
    if (run->paths.empty()) {
        running_ = false;
        if (run->onDone) run->onDone();
        return;
    }
    for (unsigned i = CheckThreadCount(run->paths.size()); i > 0; --i) {
        threads_.emplace_back([this, run] {
            for (std::size_t at = run->next++; at < run->paths.size() && !run->stopped; at = run->next++) {
                SignatureAnswer answer = cache_.Check(run->paths[at]);
                ui_.post([this, run, at, answer = std::move(answer)] {
                    // Stop() runs on this thread too: a dropped run never reaches its page.
                    if (run->stopped) return;
                    run->onAnswer(run->paths[at], answer);
                    if (++run->delivered == run->paths.size()) {
                        running_ = false;
                        if (run->onDone) run->onDone();
                    }
                });
            }
        });
    }
}

void PublisherChecks::Stop() {
    if (run_) run_->stopped = true;
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
    run_.reset();
    running_ = false;
}

}  // namespace korvane
