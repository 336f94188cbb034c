#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/fenk-platform/FaultInjector.h"
#include "tools/fenk-platform/RequestLog.h"

namespace fenk {

struct PlatformSeed;
class PlatformStore;
struct ReceivedLocation;

struct PlatformOptions {
    std::string host = "127.0.0.1";
    int port = 0;  // 0: any free port
    std::filesystem::path database;
    std::filesystem::path seed;
    // The gazetteer library whose cities name places for tracking info; missing, only seeded areas do.
    std::string gazetteer = "libgeonames.so.0";
};

// A local platform for development and tests: the whole interface the SDK speaks, over HTTP/1.1 with
// keep-alive, storing what devices write in SQLite. Serves on a thread of its own from start() until
// stop() or destruction.
//
// It also serves what notices and pushed content point at (recorded, and spoiled like any reply):
//     GET    /media/{name}     pictures, a clip, a tone and the online player's stand-in (see PlatformMedia)
//     GET    /pages/{name}     a small HTML page titled with the name ("video" links to a video)
// Seeded place extras may write "{platform}" for the platform's address, e.g. "{platform}/media/icon.png".
//
// Besides, for tests, under "/_fenk/" (never recorded, never spoiled):
//     GET    /_fenk/requests   every request received, as a JSON list of RecordedRequest
//     DELETE /_fenk/requests   forgets them
//     POST   /_fenk/faults     spoils replies to come (body: see FaultOrder)
//     DELETE /_fenk/faults     cancels the faults still waiting
//     GET    /_fenk/locations?resourceId=ID   the positions the user sent, in arrival order, as a JSON
//                              list of ReceivedLocation (latitude, longitude, extra as sent)
class PlatformServer {
    struct PassKey {};

public:
    // Loads the seed, opens the database and starts listening; nullptr with a one-line reason in `error`
    // when any of that fails.
    static std::unique_ptr<PlatformServer> start(const PlatformOptions& options, std::string& error);

    PlatformServer(PassKey, PlatformSeed seed, std::string gazetteer, std::unique_ptr<PlatformStore> store);
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
    // The positions the user sent, in arrival order, as sent.
    std::vector<ReceivedLocation> locationsOf(std::string_view resourceId);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace fenk
