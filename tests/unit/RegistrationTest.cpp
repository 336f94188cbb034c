#include "FenkSDK/UserDefault.h"
#include "FenkSDK/registration/AccountService.h"
#include "FenkSDK/registration/AuthenticationSession.h"
#include "FenkSDK/registration/DeviceInfoChanges.h"
#include "FenkSDK/registration/DeviceRegistration.h"
#include "FenkSDK/registration/NotificationTokens.h"
#include "FenkSDK/registration/RegistrationComponents.h"
#include "FenkSDK/runtime/AtomicBoolean.h"
#include "adapters/fake/FakeEnvironment.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace fenk {
namespace {

constexpr const char* kPlatform = "https://platform.example";
const std::string kAuth = "GET https://platform.example/1.0/json/auth/user?api=soa.api.fenk&apikey=KEY";
const std::string kExec = "https://platform.example/1.0/json/exec/soa.api.fenk/";
const FakeHttpReply kTicket = FakeHttpReply::text(R"({"response":"OK","ticket":"ticket-1"})");
const FakeHttpReply kRefused = FakeHttpReply::text(R"({"response":"ERROR"})");

class RegistrationTest : public testing::Test {
protected:
    void storeKnownUser(std::optional<std::string> mobileToken = std::nullopt) {
        fakes.preferences->setString(settingsKeys::kKeyResourceId, "user-1");
        fakes.preferences->setString(settingsKeys::kKeyRefreshToken, "refresh-1");
        fakes.preferences->setString(settingsKeys::kKeyAppKey, "KEY");
        store.saveRecord(FG_Account{.resourceId = "user-1", .mobileToken = mobileToken},
                         settingsKeys::kFenkAccountInfo);
        store.saveRecord(FG_Authenticate{kPlatform, "1.0", "old", "soa.api.fenk"}, settingsKeys::kKeyCacheAutenticate);
    }
    // Runs everything; unanswered requests time out.
    void settle() {
        fakes.dispatcher->runUntilIdle();
        fakes.dispatcher->advance(std::chrono::minutes(10));
    }
    std::optional<std::string> registerDevice() {
        std::vector<std::optional<std::string>> results;
        components.registration->registerDevice("KEY", kPlatform, true, [&](std::optional<std::string> result) {
            EXPECT_FALSE(running->get());
            results.push_back(result);
        });
        settle();
        EXPECT_EQ(results.size(), 1u);
        return results.empty() ? std::nullopt : results[0];
    }
    std::vector<std::string> requestLines() const {
        std::vector<std::string> lines;
        for (const auto& request : fakes.http->requests()) lines.push_back(request.method + " " + request.url);
        return lines;
    }

    FakeEnvironment fakes;
    UserDefault store{*fakes.preferences};
    std::shared_ptr<AtomicBoolean> running = std::make_shared<AtomicBoolean>(false);
    bool online = true;
    int trackingChecks = 0;
    RegistrationComponents components = makeRegistrationComponents(
        fakes.environment(), fakes.dispatcher->makeSerialQueue("com.fenk.fenkQueue", QualityOfService::utility),
        running, [this] { return online; }, [this] { ++trackingChecks; });
};

// The ticket path when the platform will not say who the new user is. (The other outcomes are driven
// against fenk-platform.)
struct TicketCase {
    const char* name;
    PlatformScript script;
    const char* expected;
};

void PrintTo(const TicketCase& c, std::ostream* out) { *out << c.name; }

class TicketOutcomeTest : public RegistrationTest, public testing::WithParamInterface<TicketCase> {};

TEST_P(TicketOutcomeTest, TheHostHearsTheBestKnownIdOnce) {
    fakes.http->setAutoReply(scriptedPlatform(GetParam().script));
    EXPECT_EQ(registerDevice(), GetParam().expected);
    EXPECT_EQ(trackingChecks, 1);
}

INSTANTIATE_TEST_SUITE_P(Replies, TicketOutcomeTest, testing::Values(
    TicketCase{"AccountReadBack", {{"create-anonymous", kTicket}}, "user-1"},
    // No account comes back: the id the ticket's authentication named stands in for it, else nothing.
    TicketCase{"WithoutAccount", {{"create-anonymous", kTicket}, {"user.info", kRefused}}, "user-1"},
    TicketCase{"NamingNobody", {{"create-anonymous", kTicket}, {"user.info", kRefused}, {"auth/user", kRefused}}, ""}),
    [](const testing::TestParamInfo<TicketCase>& param) { return param.param.name; });

// `text` is written into the reply's JSON as it stands, escapes included.
FakeHttpReply accountNaming(const std::string& text) {
    return FakeHttpReply::text(R"({"response":"OK","data":{"resourceId":")" + text + R"("}})");
}
FakeHttpReply authenticationNaming(const std::string& text) {
    return FakeHttpReply::text(R"({"response":"OK","authenticate":{"resourceId":")" + text + R"(","token":"fresh"}})");
}
std::string huge() { return std::string(std::size_t{1} << 20, 'x'); }

TEST_F(RegistrationTest, UnusableIdsInRepliesLeaveTheStoredUserInPlace) {
    const struct {
        const char* name;
        PlatformScript script;
    } cases[] = {
        {"EmptyAccountId", {{"user.info", accountNaming("")}}},
        {"LineBreakInAccountId", {{"user.info", accountNaming(R"(a\r\nb)")}}},
        {"AnotherUsersAccount", {{"user.info", accountNaming("user-2")}}},
        {"EmptyAuthenticatedId", {{"auth/user", authenticationNaming("")}}},
        {"HugeAuthenticatedId", {{"auth/user", authenticationNaming(huge())}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        storeKnownUser();
        fakes.http->setAutoReply(scriptedPlatform(c.script));
        const auto sentBefore = fakes.http->requests().size();
        EXPECT_EQ(registerDevice(), "user-1");
        EXPECT_EQ(registerDevice(), "user-1") << "the next registration reuses the stored id";

        EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyResourceId), "user-1");
        EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyRefreshToken), "refresh-1");
        const auto account = store.loadRecord<FG_Account>(settingsKeys::kFenkAccountInfo);
        EXPECT_EQ(account ? account->resourceId : std::nullopt, "user-1");
        const auto lines = requestLines();
        for (auto line = lines.begin() + static_cast<std::ptrdiff_t>(sentBefore); line != lines.end(); ++line) {
            if (line->find("user.info") != std::string::npos) {
                EXPECT_TRUE(line->starts_with("GET " + kExec + "soa.api.user.info/user-1?")) << *line;
            }
        }
    }
}

// A creation reply whose id cannot be used names nobody: the ticket path runs, and with no one else naming
// the user the host hears the empty text, as for an unreadable reply.
TEST_F(RegistrationTest, CreationReplyWithoutAUsableIdNamesNobody) {
    const auto created = [](const std::string& data) {
        return FakeHttpReply::text(R"({"response":"OK","data":{)" + data + "}}");
    };
    const struct {
        const char* name;
        PlatformScript script;
        const char* expected;
        std::optional<std::string> storedId;
        std::optional<std::string> storedRefreshToken;
    } cases[] = {
        {"EmptyId", {{"create-anonymous", created(R"("resourceId":"","refreshToken":"r")")}}, "", std::nullopt, ""},
        {"HugeId", {{"create-anonymous", created(R"("resourceId":")" + huge() + R"(","refreshToken":"r")")}}, "",
         std::nullopt, ""},
        {"UnusableTicket", {{"create-anonymous", FakeHttpReply::text(R"({"response":"OK","ticket":"t\r\n"})")}},
         "", std::nullopt, ""},
        {"TicketNamingAnUnusableId", {{"create-anonymous", kTicket}, {"auth/user", authenticationNaming("a\\nb")}},
         "", std::nullopt, "ticket-1"},
        {"HugeRefreshToken",
         {{"create-anonymous", created(R"("resourceId":"new-user","refreshToken":")" + huge() + R"(")")}},
         "new-user", "new-user", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto key : {settingsKeys::kKeyResourceId, settingsKeys::kKeyRefreshToken,
                               settingsKeys::kFenkAccountInfo, settingsKeys::kKeyCacheAutenticate}) {
            fakes.preferences->remove(key);
        }
        PlatformScript script = c.script;
        script.emplace_back("auth/user", kRefused);  // nobody else names the user
        fakes.http->setAutoReply(scriptedPlatform(script));
        EXPECT_EQ(registerDevice(), c.expected);
        EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyResourceId), c.storedId);
        EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyRefreshToken), c.storedRefreshToken);
    }
}

TEST_F(RegistrationTest, KnownDeviceOnlineRefreshesParametersAccountAndDeviceInThatOrder) {
    storeKnownUser();
    fakes.http->setAutoReply(scriptedPlatform());
    EXPECT_EQ(registerDevice(), "user-1");

    const std::string auth = kAuth + "&refreshToken=refresh-1";
    EXPECT_EQ(requestLines(),
              (std::vector<std::string>{auth, "GET " + kExec + "soa.api.user.app-parameters/user-1?token=fresh", auth,
                                        "GET " + kExec + "soa.api.user.info/user-1?token=fresh", auth,
                                        "POST " + kExec + "soa.api.user.update/user-1"}));
    EXPECT_EQ(asText(fakes.http->requests().back().body),
              "extra=versionName%3A2.0.5&device=x86_64&version=17.0&token=fresh");
}

TEST_F(RegistrationTest, NewUserIsCreatedWithATokenGivenBeforeIt) {
    fakes.preferences->setString(settingsKeys::kKeyNotificationsToken, "0aff");
    fakes.http->setAutoReply(scriptedPlatform());
    EXPECT_EQ(registerDevice(), "new-user");
    ASSERT_EQ(requestLines().at(1), "POST " + kExec + "soa.api.user.create-anonymous");
    EXPECT_NE(asText(fakes.http->requests()[1].body).find("&notificationsToken=0aff&device=x86_64&platform=ios"),
              std::string::npos);
}

TEST_F(RegistrationTest, OverlappingRegistrationsKeepTheFlagUntilTheLastEnds) {
    storeKnownUser();
    fakes.http->setAutoReply(scriptedPlatform({{"/", std::nullopt}}));  // the first waits on the platform
    std::vector<std::string> results;
    const auto collect = [&](std::optional<std::string> result) { results.push_back(result.value_or("none")); };
    components.registration->registerDevice("KEY", kPlatform, true, collect);
    components.registration->registerDevice("KEY", "not an address", true, collect);

    fakes.dispatcher->runUntilIdle();
    EXPECT_EQ(results, std::vector<std::string>{"Error parsing URL"});
    EXPECT_TRUE(running->get());
    settle();
    EXPECT_EQ(results, (std::vector<std::string>{"Error parsing URL", "user-1"}));
    EXPECT_FALSE(running->get());
}

TEST_F(RegistrationTest, DeviceTokenIsWrittenAsTwoLowerCaseDigitsPerByte) {
    EXPECT_EQ(hexToken({}), "");
    EXPECT_EQ(hexToken({0x0a}), "0a");
    EXPECT_EQ(hexToken({0x00, 0xff, 0x10, 0xab}), "00ff10ab");
    std::optional<bool> taken;
    components.tokens->setDataNotificationsToken(std::nullopt, [&](bool result) { taken = result; });
    settle();
    EXPECT_EQ(taken, false);
}

struct TokenCase {
    const char* name;
    bool registrationRunning;
    bool knownUser;
    std::optional<std::string> accountToken;
    std::optional<std::string> token;
    FakeHttpReply updateReply;
    bool expected;
    bool sent;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TokenCase& c, std::ostream* out) { *out << c.name; }

class NotificationTokenTest : public RegistrationTest, public testing::WithParamInterface<TokenCase> {};

TEST_P(NotificationTokenTest, SendsOnlyAChangedTokenAndAlwaysKeepsTheLatest) {
    const TokenCase& c = GetParam();
    if (c.knownUser) storeKnownUser(c.accountToken);
    running->set(c.registrationRunning);
    fakes.http->setAutoReply(scriptedPlatform({{"user.update", c.updateReply}}));
    std::optional<bool> taken;
    components.tokens->setNotificationsToken(c.token, [&](bool result) { taken = result; });
    settle();

    EXPECT_EQ(taken, c.expected);
    const auto requests = fakes.http->requests();
    ASSERT_EQ(requests.size(), c.sent ? 2u : 0u);
    if (c.sent) {
        EXPECT_EQ(asText(requests[1].body), "notificationsToken=" + c.token.value_or("") + "&token=fresh");
    }
    EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyNotificationsToken), c.token);
}

const FakeHttpReply kUpdated = FakeHttpReply::text(R"({"response":"OK"})");

INSTANTIATE_TEST_SUITE_P(
    Paths, NotificationTokenTest,
    testing::Values(TokenCase{"SameAsAccount", false, true, "abc", "abc", kUpdated, true, false},
                    TokenCase{"BothAbsent", false, true, std::nullopt, std::nullopt, kUpdated, true, false},
                    TokenCase{"Changed", false, true, "old", "abc", kUpdated, true, true},
                    TokenCase{"Withdrawn", false, true, "old", std::nullopt, kUpdated, true, true},
                    TokenCase{"Refused", false, true, "old", "abc", kRefused, false, true},
                    TokenCase{"DuringRegistration", true, true, "old", "abc", kUpdated, true, false},
                    TokenCase{"BeforeTheUser", false, false, std::nullopt, "abc", kUpdated, true, false}),
    [](const testing::TestParamInfo<TokenCase>& param) { return param.param.name; });

TEST_F(RegistrationTest, AuthenticationStoresWhatTheReplyProves) {
    const FakeHttpReply named =
        FakeHttpReply::text(R"({"response":"OK","authenticate":{"resourceId":"u9","token":"t9"}})");
    const FakeHttpReply anonymous = FakeHttpReply::text(R"({"response":"OK","authenticate":{"token":"t9"}})");
    const struct {
        std::optional<std::string> refreshToken;
        std::optional<FakeHttpReply> reply;
        std::string query;
        std::optional<std::string> storedResourceId;
        std::optional<std::string> storedToken;  // none: no record stored
    } cases[] = {{std::nullopt, anonymous, "", std::nullopt, "t9"},
                 {std::nullopt, std::nullopt, "", std::nullopt, "old"},  // kept even without a reply
                 {"r1", named, "&refreshToken=r1", "u9", "t9"},
                 {"r1", anonymous, "&refreshToken=r1", std::nullopt, std::nullopt},
                 {"", anonymous, "", std::nullopt, "t9"},  // an empty refresh token counts as none
                 // Neither an id nor a token that cannot be used is kept; a token that cannot is none.
                 {"r1", authenticationNaming(R"(u\u00009)"), "&refreshToken=r1", std::nullopt, std::nullopt},
                 {std::nullopt, FakeHttpReply::text(R"({"response":"OK","authenticate":{"token":")" + huge() + R"("}})"),
                  "", std::nullopt, std::nullopt}};
    const AuthenticationSession session(fakes.preferences, PlatformTransport(fakes.http, fakes.dispatcher));
    for (const auto& c : cases) {
        fakes.preferences->remove(settingsKeys::kKeyResourceId);
        fakes.preferences->remove(settingsKeys::kKeyCacheAutenticate);
        fakes.preferences->setString(settingsKeys::kKeyRefreshToken, c.refreshToken);
        fakes.http->setAutoReply(scriptedPlatform({{"auth/user", c.reply}}));
        int continuations = 0;
        session.authenticateSession(FG_Authenticate{kPlatform, "1.0", "old", std::nullopt}, "KEY",
                                    [&](FG_Authenticate, std::optional<FG_AuthenticateBean>) { ++continuations; });
        settle();
        EXPECT_EQ(continuations, 1);
        EXPECT_EQ(requestLines().back(), kAuth + c.query);
        EXPECT_EQ(fakes.preferences->string(settingsKeys::kKeyResourceId), c.storedResourceId);
        const auto record = store.loadRecord<FG_Authenticate>(settingsKeys::kKeyCacheAutenticate);
        EXPECT_EQ(record ? record->token : std::nullopt, c.storedToken) << c.query;
    }
}

TEST_F(RegistrationTest, AccountCallsWithNothingToSendAnswerWithoutTraffic) {
    std::vector<std::optional<std::string>> answers;
    const auto collect = [&](std::optional<std::string> answer) { answers.push_back(answer); };
    components.accounts->updateUser({{"email", "a@b.c"}}, collect);  // no resource id yet
    settle();
    storeKnownUser();
    const FG_Account current{.extra = std::vector<FG_Extra>{{"adId", ""}, {"versionName", "2.0.5"}},
                             .mobileDevice = "x86_64", .mobileVersion = "17.0"};
    components.accounts->updateDeviceInfo(current, collect);
    settle();
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{"ERROR", "OK"}));
    EXPECT_TRUE(fakes.http->requests().empty());
}

TEST(DeviceInfoChanges, SendOnlyWhatDiffersFromTheAccount) {
    FakeDevice device;  // model "x86_64", system "17.0"
    device.setCarrier(Carrier{"Acme", "es"});
    device.setAdvertisingIdentifier("AD");
    const FG_Account matching{.extra = std::vector<FG_Extra>{{"carrier", "Old"}, {"carrier", "Acme"}, {"countryCode", "es"},
                                                             {"adId", "AD"}, {"versionName", "2.0.5"}},
                              .mobileDevice = "x86_64", .mobileVersion = "17.0", .mobileToken = "tok"};
    FG_Account stale = matching;  // an entry without value is no entry
    stale.extra = std::vector<FG_Extra>{{"carrier", std::nullopt}, {"adId", "AD"}};
    stale.mobileToken = "other";
    FG_Account noExtra = matching;
    noExtra.extra.reset();
    const struct {
        std::optional<FG_Account> account;
        TrackingAuthorizationStatus consent;
        RequestParameters expected;
    } cases[] = {
        {matching, TrackingAuthorizationStatus::authorized, {}},
        {stale, TrackingAuthorizationStatus::authorized,
         {{"notificationsToken", "tok"}, {"carrier", "Acme"}, {"countryCode", "es"}, {"versionName", "2.0.5"}}},
        {noExtra, TrackingAuthorizationStatus::authorized,
         {{"carrier", "Acme"}, {"countryCode", "es"}, {"adId", "AD"}, {"versionName", "2.0.5"}}},
        {matching, TrackingAuthorizationStatus::denied, {{"adId", ""}}},  // a withdrawn id is reported
        {std::nullopt, TrackingAuthorizationStatus::denied,
         {{"version", "17.0"}, {"notificationsToken", "tok"}, {"device", "x86_64"}, {"carrier", "Acme"},
          {"countryCode", "es"}, {"versionName", "2.0.5"}}},
    };
    for (const auto& c : cases) {
        device.setTrackingAuthorizationStatus(c.consent);
        EXPECT_EQ(deviceInfoChanges(c.account, device, "tok"), c.expected);
    }
}

}  // namespace
}  // namespace fenk
