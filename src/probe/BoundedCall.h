// A call given a time budget: it runs on a thread of its own and the caller waits at most the budget
// for its answer. A call that takes longer (a file test on a server that does not answer can take
// Windows' own network time-out, tens of seconds) is left to finish alone: its thread ends when the
// call returns, and the late answer is dropped. The call must only use what outlives it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace korvane {

template <class Result>
std::optional<Result> CallWithin(std::chrono::milliseconds budget, std::function<Result()> call) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        std::optional<Result> result;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, call = std::move(call)] {
        Result result = call();
        {
            std::lock_guard lock(shared->mutex);
            shared->result = std::move(result);
        }
        shared->answered.notify_all();
    }).detach();
    std::unique_lock lock(shared->mutex);
    if (!shared->answered.wait_for(lock, budget, [&] { return shared->result.has_value(); }))
        return std::nullopt;
    return std::move(shared->result);
}

}  // namespace korvane
