#pragma once

#include "FenkSDK/ports/Http.h"

#include <memory>

namespace fenk {

// Keeps the dispatcher busy while an exchange is in flight, so that waiting for idleness also waits for
// replies still on the wire. A decorator rather than a counter in the client: any Http works, and the
// client need not know what its host waits for.
// Any dispatcher with holdBusy() serves: the thread one, and the fake one in virtual-time replays.
template <class BusyDispatcher>
class TrackedHttp final : public Http {
public:
    TrackedHttp(std::shared_ptr<Http> client, std::shared_ptr<BusyDispatcher> dispatcher)
        : client_(std::move(client)), dispatcher_(std::move(dispatcher)) {}

    void send(HttpRequest request, Completion completion) override {
        // The hold ends when the last copy of the completion goes, after it ran on its queue.
        client_->send(std::move(request), [held = dispatcher_->holdBusy(), completion = std::move(completion)](
                                              std::optional<Data> body, std::optional<HttpResponse> response,
                                              std::optional<HttpError> error) {
            completion(std::move(body), std::move(response), std::move(error));
        });
    }

private:
    std::shared_ptr<Http> client_;
    std::shared_ptr<BusyDispatcher> dispatcher_;
};

}  // namespace fenk
