#include "FenkSDK/runtime/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fenk {
namespace {

TEST(NotificationCenter, DeliversByNameAndObjectIdentity) {
    NotificationCenter center;
    auto watched = std::make_shared<int>(1);
    auto other = std::make_shared<int>(1);  // equal value, different object
    std::vector<std::string> seen;
    center.addObserver("A", nullptr, [&](const Notification&) { seen.push_back("any A"); });
    center.addObserver("A", watched.get(), [&](const Notification& n) {
        EXPECT_EQ(n.object<int>(), watched);
        EXPECT_EQ(n.object<double>(), nullptr);  // asking for the wrong type is safe
        seen.push_back("watched A");
    });
    center.addObserver("B", nullptr, [&](const Notification&) { seen.push_back("any B"); });
    int everything = 0;
    center.addObserver("", nullptr, [&](const Notification&) { ++everything; });

    center.post("A", watched);
    center.post("A", other);
    center.post("A");
    EXPECT_EQ(seen, (std::vector<std::string>{"any A", "watched A", "any A", "any A"}));
    EXPECT_EQ(everything, 3);
}

TEST(NotificationCenter, ObserversMayRemoveThemselvesAndPostWhileBeingCalled) {
    NotificationCenter center;
    int calls = 0;
    NotificationCenter::ObserverId self = 0;
    self = center.addObserver("once", nullptr, [&](const Notification&) {
        ++calls;
        center.removeObserver(self);
        center.post("nested", UserInfo{{"k", std::string("v")}});
    });
    std::string nestedValue;
    center.addObserver("nested", nullptr, [&](const Notification& n) {
        nestedValue = std::any_cast<std::string>(n.userInfo.at("k"));
    });
    center.post("once");
    center.post("once");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(nestedValue, "v");
}

}  // namespace
}  // namespace fenk
