#include "adapters/linux/CurlHttp.h"

#include "adapters/linux/CurlTransfer.h"

#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fenk {
namespace {

struct CurlMultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

using CurlMulti = std::unique_ptr<CURLM, CurlMultiCleanup>;

// Six connections per host at most, as browsers do: a burst of requests queues for a kept-alive connection
// instead of opening dozens the server has to hold open.
constexpr long kConnectionsPerHost = 6;

CurlMulti makeMulti() {
    CurlMulti multi(curl_multi_init());
    curl_multi_setopt(multi.get(), CURLMOPT_MAX_HOST_CONNECTIONS, kConnectionsPerHost);
    return multi;
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

// Owns the multi handle and the thread that drives it. Only that thread touches libcurl handles; other
// threads hand requests over through a locked list and wake it with curl_multi_wakeup.
class CurlHttp::Engine {
public:
    explicit Engine(std::shared_ptr<DispatchQueue> completions)
        : completions_(std::move(completions)), multi_(makeMulti()), thread_([this] { run(); }) {}

    ~Engine() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        curl_multi_wakeup(multi_.get());
        thread_.join();
    }

    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void submit(HttpRequest request, Completion completion) {
        {
            std::lock_guard lock(mutex_);
            submitted_.push_back({std::move(request), std::move(completion)});
        }
        curl_multi_wakeup(multi_.get());
    }

private:
    struct Submission {
        HttpRequest request;
        Completion completion;
    };

    // Idle handles kept for reuse; more would only hold memory after a burst.
    static constexpr std::size_t kIdleHandles = 8;
    // How long the thread sleeps when nothing happens; submissions and stopping wake it at once.
    static constexpr int kIdleWaitMilliseconds = 10'000;

    void run() {
        while (startSubmitted()) {
            int running = 0;
            curl_multi_perform(multi_.get(), &running);
            finishEnded();
            curl_multi_poll(multi_.get(), nullptr, 0, kIdleWaitMilliseconds, nullptr);
        }
        abandonAll();
    }

    // Starts what was submitted since the last turn; false once the client is stopping.
    bool startSubmitted() {
        std::vector<Submission> batch;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return false;
            batch.swap(submitted_);
        }
        for (auto& submission : batch) start(std::move(submission));
        return true;
    }

    void start(Submission submission) {
        CurlEasy easy = takeIdleHandle();
        if (!easy) {
            fail(std::move(submission.completion), HttpError{"Out of memory for a new transfer."});
            return;
        }
        auto transfer = std::make_unique<CurlTransfer>(std::move(easy), std::move(submission.request),
                                                       std::move(submission.completion));
        CURL* const handle = transfer->handle();
        if (curl_multi_add_handle(multi_.get(), handle) != CURLM_OK) {
            transfer->finish(CURLE_FAILED_INIT, *completions_);
            return;
        }
        running_.emplace(handle, std::move(transfer));
    }

    void finishEnded() {
        int remaining = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi_.get(), &remaining)) {
            if (message->msg != CURLMSG_DONE) continue;
            CURL* const easy = message->easy_handle;
            const CURLcode result = message->data.result;  // the message dies with the removal below
            curl_multi_remove_handle(multi_.get(), easy);
            auto ended = running_.extract(easy);
            if (!ended.empty()) keepIdle(ended.mapped()->finish(result, *completions_));
        }
    }

    // Completes what is running and what was never started.
    void abandonAll() {
        const HttpError cancelled{"The request was cancelled: the HTTP client was shut down."};
        for (auto& [easy, transfer] : running_) {
            curl_multi_remove_handle(multi_.get(), easy);
            transfer->abandon(cancelled, *completions_);
        }
        running_.clear();
        std::vector<Submission> neverStarted;
        {
            std::lock_guard lock(mutex_);
            neverStarted.swap(submitted_);
        }
        for (auto& submission : neverStarted) fail(std::move(submission.completion), cancelled);
    }

    // Completes a request that never reached a handle of its own.
    void fail(Completion completion, HttpError error) {
        completions_->async([completion = std::move(completion), error = std::move(error)] {
            completion(std::nullopt, std::nullopt, error);
        });
    }

    CurlEasy takeIdleHandle() {
        if (idle_.empty()) return CurlEasy(curl_easy_init());
        CurlEasy easy = std::move(idle_.back());
        idle_.pop_back();
        return easy;
    }

    void keepIdle(CurlEasy easy) {
        if (idle_.size() < kIdleHandles) idle_.push_back(std::move(easy));
    }

    std::shared_ptr<DispatchQueue> completions_;
    CurlMulti multi_;
    std::mutex mutex_;
    std::vector<Submission> submitted_;  // guarded by mutex_
    bool stopping_ = false;              // guarded by mutex_
    // The engine thread's own.
    std::vector<CurlEasy> idle_;
    std::unordered_map<CURL*, std::unique_ptr<CurlTransfer>> running_;
    std::thread thread_;  // last: it starts running once everything above exists
};

CurlHttp::CurlHttp(const std::shared_ptr<Dispatcher>& dispatcher) {
    initialiseCurlOnce();
    engine_ = std::make_unique<Engine>(dispatcher->globalQueue());
}

CurlHttp::~CurlHttp() = default;

void CurlHttp::send(HttpRequest request, Completion completion) {
    engine_->submit(std::move(request), std::move(completion));
}

}  // namespace fenk
