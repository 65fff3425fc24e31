// Checks the signatures of a page's programs on threads of their own after the list is shown, and
// hands each answer to the window's thread, so that the list stays responsive and sortable meanwhile.
// A new run (a refresh of the list) or the end of the owner drops the answers of the run before.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/SignatureCache.h"
#include "platform/UiThread.h"

namespace korvane {

class PublisherChecks {
public:
    using OnAnswer = std::function<void(const std::string& path, const SignatureAnswer& answer)>;

    PublisherChecks(UiThread& ui, SignatureCache& cache) : ui_(ui), cache_(cache) {}
    // Drops the answers not yet delivered and waits for the checks under way (one per thread).
    ~PublisherChecks();
    PublisherChecks(const PublisherChecks&) = delete;
    PublisherChecks& operator=(const PublisherChecks&) = delete;

    // On the window's thread: checks each path (duplicates once) and calls `onAnswer` there with each
    // answer as it comes, then `onDone` once all have come. A run still going is stopped first.
    void Start(std::vector<std::string> paths, OnAnswer onAnswer, std::function<void()> onDone = {});
    // Stops the run: the answers not yet delivered are dropped.
    void Stop();
    // Whether a run's answers are still to come.
    bool Running() const { return running_; }

private:
    struct Run;
    UiThread& ui_;
    SignatureCache& cache_;
    std::shared_ptr<Run> run_;
    std::vector<std::thread> threads_;
    bool running_ = false;
};

}  // namespace korvane
