#include "adapters/linux/GpsdLocation.h"

#include "FenkSDK/runtime/Console.h"

#include <cstring>

namespace fenk {

GpsdLocation::GpsdLocation(std::shared_ptr<DispatchQueue> mainQueue, std::shared_ptr<SecureStore> store,
                           std::string host, std::string port)
    : mainQueue_(mainQueue),
      host_(std::move(host)),
      port_(std::move(port)),
      engine_(std::make_shared<EngineLocation>(std::move(mainQueue), std::move(store))) {}

GpsdLocation::~GpsdLocation() = default;

std::unique_ptr<LocationSession> GpsdLocation::makeSession(LocationDelegate& delegate) {
    if (!receiver_) {
        receiver_ = GpsdReceiver::start(host_, port_, mainQueue_,
                                        [engine = std::weak_ptr<EngineLocation>(engine_)](const LocationFix& fix) {
                                            if (const auto live = engine.lock()) live->ingest(fix);
                                        });
        // Without its thread the receiver delivers nothing; the sessions stay valid and silent.
        if (!receiver_) Console::print(std::string("could not start reading gpsd: ") + std::strerror(errno));
    }
    return engine_->makeSession(delegate);
}

}  // namespace fenk
