#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/json/RecordCodec.h"

namespace {

using fenk::FG_Account;
using fenk::FG_Extra;

// A stored account list as the settings store holds it: eight accounts, about 1 KB of JSON.
std::string accountListJson() {
    std::vector<FG_Account> accounts;
    for (int i = 0; i < 8; ++i) {
        const std::string n = std::to_string(i);
        accounts.push_back(FG_Account{.resourceId = "5f1c2a" + n,
                                      .userName = "user" + n,
                                      .email = "user" + n + "@example.org",
                                      .extra = std::vector{FG_Extra{.name = "carrier", .value = "Fenkcell"}},
                                      .mobileToken = "tk" + n});
    }
    return *fenk::json::encode(accounts);
}

void readModifyWrite(benchmark::State& state) {
    const std::string json = accountListJson();
    for (auto _ : state) {
        auto accounts = fenk::json::decode<std::vector<FG_Account>>(json);
        (*accounts)[3].mobileToken = "renewed";
        benchmark::DoNotOptimize(fenk::json::encode(*accounts));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * json.size()));
    state.counters["jsonBytes"] = static_cast<double>(json.size());
}

void decodeOnly(benchmark::State& state) {
    const std::string json = accountListJson();
    for (auto _ : state) benchmark::DoNotOptimize(fenk::json::decode<std::vector<FG_Account>>(json));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * json.size()));
}

void encodeOnly(benchmark::State& state) {
    const auto accounts = fenk::json::decode<std::vector<FG_Account>>(accountListJson());
    for (auto _ : state) benchmark::DoNotOptimize(fenk::json::encode(*accounts));
}

}  // namespace

BENCHMARK(readModifyWrite);
BENCHMARK(decodeOnly);
BENCHMARK(encodeOnly);
