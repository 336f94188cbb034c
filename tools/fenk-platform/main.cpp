// fenk-platform [--host 127.0.0.1] [--port 0] --db FILE --seed FILE.json
//
// Serves the platform until SIGINT or SIGTERM. Prints "listening on http://HOST:PORT" once it accepts
// connections, so that a script may start it on port 0 and read the port.
#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include <pthread.h>

#include "tools/fenk-platform/PlatformServer.h"

namespace {

constexpr std::string_view kUsage = "usage: fenk-platform [--host 127.0.0.1] [--port 0] --db FILE --seed FILE.json";

std::optional<fenk::PlatformOptions> parseArguments(int argc, char** argv) {
    fenk::PlatformOptions options;
    for (int index = 1; index + 1 < argc; index += 2) {
        const std::string_view name = argv[index];
        const std::string value = argv[index + 1];
        if (name == "--host") {
            options.host = value;
        } else if (name == "--port") {
            try {
                std::size_t used = 0;
                options.port = std::stoi(value, &used);
                if (used != value.size() || options.port < 0 || options.port > 65535) return std::nullopt;
            } catch (const std::exception&) {
                return std::nullopt;
            }
        } else if (name == "--db") {
            options.database = value;
        } else if (name == "--seed") {
            options.seed = value;
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || options.database.empty() || options.seed.empty()) return std::nullopt;
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<fenk::PlatformOptions> options = parseArguments(argc, argv);
    if (!options) {
        std::cerr << kUsage << '\n';
        return 2;
    }
    // Block the stop signals before any thread starts, so that every thread inherits the mask and only
    // sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::string error;
    const std::unique_ptr<fenk::PlatformServer> server = fenk::PlatformServer::start(*options, error);
    if (!server) {
        std::cerr << "fenk-platform: " << error << '\n';
        return 1;
    }
    std::cout << "listening on " << server->address() << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    server->stop();
    return 0;
}
