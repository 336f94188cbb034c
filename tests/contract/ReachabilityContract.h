#pragma once

#include "FenkSDK/ports/Reachability.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace fenk::contract {

enum class Network { offline, wifi, cellular };

// What every reachability adapter must do, run against each of them. A driver provides:
//   std::shared_ptr<Reachability> reachability();
//   std::shared_ptr<DispatchQueue> makeQueue();
//   void setNetwork(Network);          the network as the next flag read sees it
//   void pump();                       runs queued work where nothing else does (a fake dispatcher)
//   Duration patience() const;         how long a report may take to arrive
//   std::optional<std::string> unavailableReason() const;   why the adapter cannot be exercised here

struct Report {
    ReachabilityFlags flags;
    bool onAttachedQueue;
};

// The reports of a handle, and a wait for them on a condition with a deadline.
class ReportLog : public std::enable_shared_from_this<ReportLog> {
public:
    // The queue is the one the reports should arrive on. The callback holds the log and the queue, so a report
    // still under way on the queue's thread when the test ends finds both alive.
    ReachabilityHandle::Callback callbackFor(std::shared_ptr<const DispatchQueue> queue) {
        return [log = shared_from_this(), queue = std::move(queue)](ReachabilityFlags flags) {
            {
                std::lock_guard lock(log->mutex_);
                log->reports_.push_back({flags, queue->isCurrent()});
            }
            log->changed_.notify_all();
        };
    }

    bool waitFor(const std::function<bool(const std::vector<Report>&)>& condition, Duration patience) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [&] { return condition(reports_); });
    }

    std::vector<Report> reports() const {
        std::lock_guard lock(mutex_);
        return reports_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
};

inline ReachabilityFlags kindBits(ReachabilityFlags flags) {
    return flags & (ReachabilityFlag::reachable | ReachabilityFlag::isWWAN);
}

template <class Driver>
class ReachabilityContract : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = driver_.unavailableReason()) GTEST_SKIP() << *reason;
        handle_ = driver_.reachability()->createWithAddress(SocketAddressIPv4::anyAddress());
        ASSERT_NE(handle_, nullptr) << "error " << driver_.reachability()->lastErrorCode();
        queue_ = driver_.makeQueue();
    }

    // The kind of link the handle reads now; nothing when it cannot read its flags.
    std::optional<ReachabilityFlags> kindRead() {
        const auto flags = handle_->flags();
        return flags ? std::optional(kindBits(*flags)) : std::nullopt;
    }

    // Waits until the latest report carries the kind of link given.
    bool awaitReport(ReachabilityFlags bits) {
        driver_.pump();
        return log_->waitFor(
            [&](const auto& reports) { return !reports.empty() && kindBits(reports.back().flags) == bits; },
            driver_.patience());
    }

    Driver driver_;
    std::shared_ptr<ReportLog> log_ = std::make_shared<ReportLog>();
    std::shared_ptr<DispatchQueue> queue_;
    std::shared_ptr<ReachabilityHandle> handle_;
};

TYPED_TEST_SUITE_P(ReachabilityContract);

// The flags read follow the network at all times. Changes are reported on the attached queue, but not while
// the callback is removed or the queue detached: reports arrive in order, so one made meanwhile would show
// up before the change after resuming.
TYPED_TEST_P(ReachabilityContract, FlagsFollowTheNetworkAndChangesAreReportedOnlyWhileSubscribed) {
    auto& handle = *this->handle_;
    const auto callback = this->log_->callbackFor(this->queue_);
    const struct {
        const char* name;
        std::function<bool()> pause;
        std::function<bool()> resume;
    } ways[] = {
        {"callback", [&] { return handle.setCallback({}); }, [&] { return handle.setCallback(callback); }},
        {"queue", [&] { return handle.setDispatchQueue(nullptr); },
         [&] { return handle.setDispatchQueue(this->queue_); }},
    };
    ASSERT_TRUE(handle.setCallback(callback));
    ASSERT_TRUE(handle.setDispatchQueue(this->queue_));
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        this->driver_.setNetwork(Network::wifi);
        EXPECT_EQ(this->kindRead(), ReachabilityFlag::reachable);
        ASSERT_TRUE(this->awaitReport(ReachabilityFlag::reachable));
        ASSERT_TRUE(way.pause());
        this->driver_.setNetwork(Network::cellular);
        EXPECT_EQ(this->kindRead(), ReachabilityFlag::reachable | ReachabilityFlag::isWWAN);
        this->driver_.pump();
        ASSERT_TRUE(way.resume());
        this->driver_.setNetwork(Network::offline);
        EXPECT_EQ(this->kindRead(), 0u);
        ASSERT_TRUE(this->awaitReport(0));
        for (const auto& report : this->log_->reports()) {
            EXPECT_EQ(report.flags & ReachabilityFlag::isWWAN, 0u) << "reported while paused";
            EXPECT_TRUE(report.onAttachedQueue);
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(ReachabilityContract, FlagsFollowTheNetworkAndChangesAreReportedOnlyWhileSubscribed);

}  // namespace fenk::contract
