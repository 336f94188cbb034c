// The reference host program as a new user runs it: one process per command against fenk-platform on
// loopback, state kept in a temporary data folder.
#include "adapters/linux/CurlHttp.h"
#include "adapters/linux/ThreadDispatcher.h"
#include "TemporaryFolder.h"
#include "tools/fenk-platform/RequestLog.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <future>
#include <regex>

using namespace std::chrono_literals;

namespace fenk {
namespace {

struct Outcome {
    int exitCode = -1;
    std::string output;
};

// fenk-platform as its own process on a free loopback port, stopped at the end of the test.
class PlatformProcess {
public:
    explicit PlatformProcess(const std::filesystem::path& folder) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const std::string database = (folder / "platform.sqlite3").string();
        std::vector<std::string> words{FENK_PLATFORM_PROGRAM, "--host", "127.0.0.1", "--port", "0",
                                       "--db",                database, "--seed", FENK_PLATFORM_SAMPLE_SEED};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        if (spawned != 0) throw std::runtime_error("cannot start fenk-platform");
        // "listening on http://127.0.0.1:PORT"
        std::string line;
        char c = 0;
        while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(pipeEnds[0]);
        address_ = line.substr(line.find("http://"));
    }
    ~PlatformProcess() {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    PlatformProcess(const PlatformProcess&) = delete;
    PlatformProcess& operator=(const PlatformProcess&) = delete;

    const std::string& address() const { return address_; }

    // The paths of the requests received since the last call, in arrival order.
    std::vector<std::string> takeRequestPaths() {
        std::vector<std::string> paths;
        const auto requests = json::decode<std::vector<RecordedRequest>>(exchange("GET"));
        EXPECT_TRUE(requests) << "unreadable request list";
        for (const auto& request : requests.value_or(std::vector<RecordedRequest>{})) paths.push_back(request.path);
        exchange("DELETE");
        return paths;
    }

private:
    std::string exchange(std::string method) {
        std::promise<std::string> body;
        HttpRequest request;
        request.method = std::move(method);
        request.url = address_ + "/_fenk/requests";
        http_.send(std::move(request), [&body](std::optional<Data> data, auto, auto) {
                       body.set_value(data ? std::string(data->begin(), data->end()) : std::string());
                   });
        return body.get_future().get();
    }

    pid_t pid_ = -1;
    std::string address_;
    std::shared_ptr<ThreadDispatcher> dispatcher_ = std::make_shared<ThreadDispatcher>(1);
    CurlHttp http_{dispatcher_};
};

class FenkctlTest : public ::testing::Test {
protected:
    // Runs fenkctl with the test's data folder, reaching the platform on its port; stdout, and stderr too
    // when asked.
    Outcome fenkctl(const std::string& arguments, bool withErrors = false) const {
        const std::string port = platform_.address().substr(platform_.address().rfind(':') + 1);
        const std::string command = std::string(FENKCTL_PROGRAM) + " --data-dir '" + data_.path().string() +
                                    "' --connect-to 127.0.0.1:" + port + " " + arguments +
                                    (withErrors ? " 2>&1" : " 2>/dev/null");
        Outcome outcome;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return outcome;
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) outcome.output.append(buffer, read);
        const int status = ::pclose(pipe);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return outcome;
    }

    Outcome registerDevice() const { return fenkctl("register --platform http://127.0.0.1 --app-key sample-app-key"); }

    TemporaryFolder data_;
    TemporaryFolder platformFolder_;
    PlatformProcess platform_{platformFolder_.path()};
};

TEST_F(FenkctlTest, RegisteringAgainReusesTheResourceIdAndRefreshesWhatTheRegistrationPrescribes) {
    const Outcome first = registerDevice();
    ASSERT_EQ(first.exitCode, 0);
    ASSERT_TRUE(std::regex_match(first.output, std::regex("\\w+\n"))) << first.output;
    const std::string resourceId = first.output.substr(0, first.output.size() - 1);
    const std::string authenticate = "/1.0/json/auth/user";
    const std::string user = "/1.0/json/exec/soa.api.fenk/soa.api.user.";
    EXPECT_EQ(platform_.takeRequestPaths(),
              (std::vector<std::string>{authenticate, user + "create-anonymous", authenticate,
                                        user + "info/" + resourceId, authenticate,
                                        user + "app-parameters/" + resourceId}));

    const Outcome second = registerDevice();
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.output, first.output);
    // The stored account carries no advertising id, so the device update always has that to send.
    EXPECT_EQ(platform_.takeRequestPaths(),
              (std::vector<std::string>{authenticate, user + "app-parameters/" + resourceId, authenticate,
                                        user + "info/" + resourceId, authenticate, user + "update/" + resourceId}));
}

TEST_F(FenkctlTest, TokensDeviceIdAndJsonEvents) {
    ASSERT_EQ(registerDevice().exitCode, 0);
    const struct {
        std::string arguments;
        std::string output;
    } cases[] = {
        {"token push-token-1", "true\n"},
        {"token --hex 0a0B", "true\n"},
        // The address grammar has no room for a port.
        {"register --platform " + platform_.address() + " --app-key sample-app-key", "Error parsing URL\n"},
    };
    for (const auto& [arguments, output] : cases) {
        const Outcome outcome = fenkctl(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << arguments;
        EXPECT_EQ(outcome.output, output) << arguments;
    }

    const Outcome traced = fenkctl("--json token --hex ff");
    EXPECT_EQ(traced.exitCode, 0);
    EXPECT_TRUE(std::regex_match(traced.output, std::regex(R"((\{"event":"[a-z]+",[^\n]*\}\n)+)"))) << traced.output;
    EXPECT_NE(traced.output.find(R"({"event":"completion","operation":"setDataNotificationsToken","value":true})"),
              std::string::npos)
        << traced.output;

    const Outcome deviceId = fenkctl("device-id");
    EXPECT_EQ(deviceId.exitCode, 0);
    EXPECT_EQ(deviceId.output.size(), 37u) << deviceId.output;  // a UUID and the line's end
    EXPECT_EQ(fenkctl("device-id").output, deviceId.output);
}

TEST_F(FenkctlTest, BadArgumentsPrintUsageAndExitTwo) {
    for (const std::string arguments :
         {"", "frobnicate", "token", "token --hex abc", "token --hex 0g", "register --platform x",
          "register --platform x --app-key k --tracking maybe", "device-id extra", "--connect-to 8080 device-id",
          "--data-dir"}) {
        const Outcome outcome = fenkctl(arguments, true);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_NE(outcome.output.find("usage: fenkctl"), std::string::npos) << arguments;
    }
    EXPECT_EQ(fenkctl("--help").exitCode, 0);
}

}  // namespace
}  // namespace fenk
