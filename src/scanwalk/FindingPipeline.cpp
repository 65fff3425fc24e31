// Ordered hand-over of a scan's findings while a small pool tests their files (see FindingPipeline.h).
#include "scanwalk/FindingPipeline.h"

#include <algorithm>

namespace korvane {

namespace {

// Tests are handed to the workers a few at a time, so that a fast file system does not pay a thread
// wake-up per test.
constexpr std::size_t kBatch = 16;

}  // namespace

FindingPipeline::FindingPipeline(ScanSink& sink, PathTester& paths, FileSystem& files,
                                 ProbeConcurrency concurrency)
    : sink_(sink), paths_(paths), files_(files), concurrency_(concurrency) {
    concurrency_.inFlight = std::max<std::size_t>(concurrency_.inFlight, 1);
}

FindingPipeline::~FindingPipeline() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void FindingPipeline::BeginGroup(int group) {
    auto item = std::make_unique<Item>();
    item->kind = Kind::Begin;
    item->finding.group = group;
    item->done = true;
    Push(std::move(item));
}

void FindingPipeline::Add(ScanFinding finding) {
    auto item = std::make_unique<Item>();
    item->kind = Kind::Finding;
    item->finding = std::move(finding);
    item->done = true;
    Push(std::move(item));
}

void FindingPipeline::AddUnlessPresent(ScanFinding finding, RegistryView view, const TargetForm& form) {
    auto item = std::make_unique<Item>();
    item->kind = Kind::Target;
    item->finding = std::move(finding);
    item->view = view;
    item->form = form;
    if (concurrency_.workers <= 0) {
        Evaluate(*item);
        item->done = true;
        Push(std::move(item));
        return;
    }
    // The workers start with the first test that needs them: a run on fast storage never pays for them.
    if (workers_.empty())
        for (int i = 0; i < concurrency_.workers; ++i) workers_.emplace_back([this] { WorkerLoop(); });
    batch_.push_back(item.get());
    Push(std::move(item));
    if (batch_.size() >= std::min(kBatch, concurrency_.inFlight)) Publish();
}

void FindingPipeline::WriteCount(int group) {
    auto item = std::make_unique<Item>();
    item->kind = Kind::Count;
    item->finding.group = group;
    item->done = true;
    Push(std::move(item));
}

void FindingPipeline::Flush() {
    Publish();
    HandOnReady();
    while (!order_.empty()) {
        WaitForHead();
        HandOnReady();
    }
}

void FindingPipeline::Push(std::unique_ptr<Item> item) {
    order_.push_back(std::move(item));
    HandOnReady();
    while (order_.size() >= concurrency_.inFlight) {
        WaitForHead();
        HandOnReady();
    }
}

void FindingPipeline::Evaluate(Item& item) {
    try {
        TargetVerdict verdict = paths_.JudgeTarget(item.finding.keyValue, item.view, item.form);
        if (verdict.state == PathState::Present) {
            item.keep = false;
            return;
        }
        item.finding.guessPath = std::move(verdict.guess);
        item.finding.evidence = std::move(verdict.evidence);
        item.finding.certain = verdict.state == PathState::Missing;
    } catch (...) {
        item.error = std::current_exception();
    }
}

void FindingPipeline::Publish() {
    if (batch_.empty()) return;
    // As many idle workers as there are tests wake, and no more: a thread woken for nothing still costs
    // a switch on a machine with few cores.
    std::size_t wake = 0;
    {
        std::lock_guard lock(mutex_);
        queue_.insert(queue_.end(), batch_.begin(), batch_.end());
        wake = std::min(static_cast<std::size_t>(idle_), batch_.size());
    }
    batch_.clear();
    for (std::size_t i = 0; i < wake; ++i) work_.notify_one();
}

void FindingPipeline::HandOnReady() {
    while (!order_.empty() && order_.front()->done.load(std::memory_order_acquire)) {
        // Out of the queue before the sink sees it: a sink that fails must not get it twice.
        std::unique_ptr<Item> item = std::move(order_.front());
        order_.pop_front();
        Emit(*item);
    }
}

void FindingPipeline::Emit(Item& item) {
    if (item.error) std::rethrow_exception(item.error);
    switch (item.kind) {
        case Kind::Begin:
            sink_.BeginGroup(item.finding.group);
            break;
        case Kind::Finding:
            sink_.AddScanError(std::move(item.finding));
            break;
        case Kind::Target:
            if (item.keep) sink_.AddScanError(std::move(item.finding));
            break;
        case Kind::Count:
            sink_.WriteCount(item.finding.group);
            break;
    }
}

void FindingPipeline::WaitForHead() {
    Publish();
    std::unique_lock lock(mutex_);
    headWanted_ = true;
    finished_.wait(lock, [this] { return order_.front()->done.load(std::memory_order_acquire); });
    headWanted_ = false;
}

void FindingPipeline::WorkerLoop() {
    const auto native = files_.nativePathsOnThisThread();
    std::unique_lock lock(mutex_);
    while (true) {
        ++idle_;
        work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        --idle_;
        if (stopping_) return;
        Item* item = queue_.front();
        queue_.pop_front();
        lock.unlock();
        Evaluate(*item);
        lock.lock();
        item->done.store(true, std::memory_order_release);
        if (headWanted_) finished_.notify_one();
    }
}

}  // namespace korvane
