#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "tools/fenk-platform/FaultInjector.h"
#include "tools/fenk-platform/RequestLog.h"

namespace fenk {

struct PlatformSeed;
class PlatformStore;

struct PlatformOptions {
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
    std::filesystem::path database;
    std::filesystem::path seed;
};

// A local platform for development and tests: the whole interface the SDK speaks, over HTTP/1.1 with
// keep-alive, storing what devices write in SQLite. Serves on a thread of its own from start() until
// stop() or destruction.
//
// Besides the interface it answers, for tests, under "/_fenk/" (never recorded, never spoiled):
//     GET    /_fenk/requests   every request received, as a JSON list of RecordedRequest
//     DELETE /_fenk/requests   forgets them
//     POST   /_fenk/faults     spoils the next replies (body: see FaultOrder)
//     DELETE /_fenk/faults     cancels the faults still waiting
class PlatformServer {
    struct PassKey {};

public:
    // Loads the seed, opens the database and starts listening; nullptr with a one-line reason in `error`
    // when any of that fails.
    static std::unique_ptr<PlatformServer> start(const PlatformOptions& options, std::string& error);

    PlatformServer(PassKey, PlatformSeed seed, std::unique_ptr<PlatformStore> store);
    ~PlatformServer();
    PlatformServer(const PlatformServer&) = delete;
    PlatformServer& operator=(const PlatformServer&) = delete;

    int port() const;
    // "http://HOST:PORT", the platform address a device registers with.
    std::string address() const;
    // Stops listening, cuts short any delay fault, and returns once every connection has been served.
    void stop();

    RequestLog& requestLog();
    FaultInjector& faults();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fenk
