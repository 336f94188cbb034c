// fenk-demo: a person's weeks replayed through the SDK against the local platform, ending in a report.
#include "FenkSDK/json/RecordCodec.h"
#include "FenkSDK/runtime/Console.h"
#include "tools/fenk-demo/DemoPlatform.h"
#include "tools/fenk-demo/DemoRun.h"
#include "tools/fenk-demo/DemoSeed.h"
#include "tools/fenk-demo/NumberText.h"
#include "tools/fenk-demo/ProgressBar.h"
#include "tools/fenk-demo/ReportHtml.h"
#include "tools/replay-host/ReplayTrace.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <mutex>
#include <optional>
#include <string_view>

namespace fenk {
namespace {

constexpr std::string_view kUsage = R"(usage: fenk-demo [--out DIR] [--weeks N] [--seed S] [TRACE]

Replays four weeks of a generated commuter (N weeks, seed S), or the GPX or NMEA file TRACE, through the SDK in
virtual time against the local platform started in-process, with the owner's terms accepted, two offline spells
and a stretch of platform faults on the way. Writes DIR/report.html and DIR/report.json (DIR: fenk-demo-report);
the SDK's files and the platform's database stay in DIR too. Exits 1 when a position was lost, 2 on bad
arguments.
)";

constexpr auto kLongestTrace = std::chrono::days(366);

struct Arguments {
    std::filesystem::path out = "fenk-demo-report";
    int weeks = 4;
    std::uint64_t seed = 1;
    std::optional<std::filesystem::path> trace;
};

template <class Number>
bool readNumber(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc{} && end == text.data() + text.size();
}

std::optional<Arguments> parse(int argc, char** argv) {
    Arguments arguments;
    for (int index = 1; index < argc; ++index) {
        const std::string_view word = argv[index];
        const bool hasValue = index + 1 < argc;
        if (word == "--out" && hasValue) {
            arguments.out = argv[++index];
        } else if (word == "--weeks" && hasValue) {
            if (!readNumber(argv[++index], arguments.weeks) || arguments.weeks < 1 || arguments.weeks > 52) return {};
        } else if (word == "--seed" && hasValue) {
            if (!readNumber(argv[++index], arguments.seed)) return {};
        } else if (!word.starts_with("-") && !arguments.trace) {
            arguments.trace = std::filesystem::path(word);
        } else {
            return {};
        }
    }
    return arguments;
}

int run(const Arguments& arguments) {
    const auto started = std::chrono::steady_clock::now();
    DemoInput input;
    if (arguments.trace) {
        auto read = readReplayTrace(*arguments.trace);
        if (const auto* message = std::get_if<std::string>(&read)) {
            std::cerr << "fenk-demo: " << *message << '\n';
            return 2;
        }
        input.fixes = std::get<std::vector<LocationFix>>(std::move(read));
        input.description = arguments.trace->filename().string();
        // The report draws a row a day, and a decade's trace would take the run an hour of steps.
        if (input.fixes.back().timestamp - input.fixes.front().timestamp > kLongestTrace) {
            std::cerr << "fenk-demo: " << arguments.trace->string() << " spans more than a year: replay a part of it\n";
            return 2;
        }
    } else {
        input.fixes = generatedCommuter(arguments.weeks, arguments.seed);
        input.description = "a generated commuter, " + std::to_string(arguments.weeks) + " week" +
                            (arguments.weeks == 1 ? "" : "s") + ", seed " + std::to_string(arguments.seed);
    }

    std::error_code failure;
    std::filesystem::remove_all(arguments.out / "device", failure);
    std::filesystem::create_directories(arguments.out, failure);
    if (failure) {
        std::cerr << "fenk-demo: cannot prepare " << arguments.out.string() << ": " << failure.message() << '\n';
        return 1;
    }
    const DemoSeed seed = makeDemoSeed(input.fixes);
    input.places = seed.places;
    input.deviceFolder = arguments.out / "device";
    std::string error;
    const auto platform = startDemoPlatform(arguments.out, seed.seed, error);
    if (!platform) {
        std::cerr << "fenk-demo: the local platform did not start: " << error << '\n';
        return 1;
    }
    std::cout << "replaying " << input.description << " (" << grouped(static_cast<std::int64_t>(input.fixes.size()))
              << " fixes) against the local platform at " << platform->address() << '\n';

    // The SDK's diagnostic lines go to a file beside the report, out of the progress bar's way.
    std::ofstream consoleLog(arguments.out / "console.log", std::ios::trunc);
    std::mutex consoleMutex;
    Console::setSink([&](std::string_view line) {
        const std::lock_guard lock(consoleMutex);
        consoleLog << line << '\n';
    });
    std::optional<DemoOutcome> outcome;
    {
        ProgressBar bar(std::cout, ::isatty(STDOUT_FILENO) == 1);
        outcome = runDemo(input, *platform, [&bar](const DayProgress& day) { bar.show(day); }, error);
    }
    Console::setSink({});
    if (!outcome) {
        std::cerr << "fenk-demo: " << error << " (the SDK's console: " << (arguments.out / "console.log").string()
                  << ")\n";
        return 1;
    }
    DemoFacts& facts = outcome->facts;
    facts.figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto json = json::encode(facts);
    if (!json || !writeFile(arguments.out / "report.json", *json) ||
        !writeFile(arguments.out / "report.html", renderReportHtml(facts))) {
        std::cerr << "fenk-demo: cannot write the report in " << arguments.out.string() << '\n';
        return 1;
    }

    const RunFigures& figures = facts.figures;
    std::cout << std::fixed << std::setprecision(1) << facts.days.size() << " days replayed in "
              << figures.replaySeconds << " s (the whole run " << figures.wallSeconds << " s): "
              << grouped(figures.positionsQueued) << " positions queued, " << grouped(figures.uploads) << " uploaded, "
              << grouped(figures.resends) << " resent, " << grouped(figures.duplicates) << " duplicates, "
              << grouped(figures.notices) << " notices, " << facts.learnedPlaces.size() << " places learned\n"
              << "positions lost: " << figures.positionsLost << '\n'
              << "report: " << std::filesystem::absolute(arguments.out / "report.html").string() << '\n';
    return figures.positionsLost == 0 ? 0 : 1;
}

}  // namespace
}  // namespace fenk

int main(int argc, char** argv) {
    const auto arguments = fenk::parse(argc, argv);
    if (!arguments) {
        std::cerr << fenk::kUsage;
        return 2;
    }
    return fenk::run(*arguments);
}
