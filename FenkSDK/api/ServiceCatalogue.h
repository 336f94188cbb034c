#pragma once

#include "FenkSDK/api/FG_Account.h"
#include "FenkSDK/api/FG_DTSPlace.h"
#include "FenkSDK/api/FG_Extra.h"
#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_MobileData.h"
#include "FenkSDK/api/FG_ResourceId.h"
#include "FenkSDK/api/FG_TrackingInfo.h"
#include "FenkSDK/api/FG_UserProfile.h"
#include "FenkSDK/api/ParametersOut.h"
#include "FenkSDK/api/PlatformService.h"

#include <optional>
#include <string>
#include <vector>

// Every platform service the SDK calls: its parameters (`i_` fields, absent ones are not sent), its reply
// envelope and one catalogue entry; PlatformService carries them all. For example:
//
//     FG_SoaApiUser_InfoService service(transport);
//     service.call(FG_SoaApiUser_InfoParametersIn{.i_resourceId = id}, authentication,
//                  [](std::optional<FG_SoaApiUser_InfoParametersOut> reply) { ... });
//
// The platform also declares services that the SDK never calls (user creation, deletion and search, place
// listings and geocells, group creation and deletion, inbox messages, app login, app info and forms); they
// are not carried here.
namespace fenk {

// User info: GET /soa.api.user.info/<i_resourceId>.
struct FG_SoaApiUser_InfoParametersIn {
    std::optional<std::string> i_resourceId{};
};
using FG_SoaApiUser_InfoParametersOut = ParametersOut<FG_Account>;

// App parameters: GET /soa.api.user.app-parameters/<i_resourceId>.
struct FG_SoaApiUser_AppParametersParametersIn {
    std::optional<std::string> i_resourceId{};
};
using FG_SoaApiUser_AppParametersParametersOut = ParametersOut<std::vector<FG_Extra>>;

// Anonymous user creation: POST /soa.api.user.create-anonymous; the reply may carry a `ticket` instead of
// the new user.
struct FG_SoaApiUser_CreateAnonymousParametersIn {
    std::optional<std::string> i_extra{};
    std::optional<std::string> i_version{};
    std::optional<std::string> i_deviceId{};
    std::optional<std::string> i_notificationsToken{};
    std::optional<std::string> i_device{};
    std::optional<std::string> i_platform{};
};
using FG_SoaApiUser_CreateAnonymousParametersOut = ParametersOutWithTicket<FG_MobileData>;

// User update: POST /soa.api.user.update/<i_resourceId>.
struct FG_SoaApiUser_UpdateParametersIn {
    std::optional<std::string> i_resourceId{};
    std::optional<std::string> i_extra{};
    std::optional<std::string> i_device{};
    std::optional<std::string> i_version{};
    std::optional<std::string> i_password{};
    std::optional<std::string> i_email{};
    std::optional<std::string> i_notificationsToken{};
};
using FG_SoaApiUser_UpdateParametersOut = ParametersOut<std::vector<FG_ResourceId>>;

// User profile: GET /soa.api.user.user-profile/<i_resourceId>.
struct FG_SoaApiUser_UserProfileParametersIn {
    std::optional<std::string> i_resourceId{};
};
using FG_SoaApiUser_UserProfileParametersOut = ParametersOut<FG_UserProfile>;

// Position upload: POST (asynchronous) /soa.api.user.location.update/<i_resourceId>.
struct FG_SoaApiUserLocation_UpdateParametersIn {
    std::optional<std::string> i_longitude{};
    std::optional<std::string> i_latitude{};
    std::optional<std::string> i_resourceId{};
    std::optional<std::string> i_extra{};
};
using FG_SoaApiUserLocation_UpdateParametersOut = ParametersOut<std::vector<FG_ResourceId>>;

// Nearby places: GET /soa.api.user.find-places-nearby/<stored resource id>.
struct FG_SoaApiPlace_FindNearbyParametersIn {
    std::optional<std::string> i_longitude{};
    std::optional<std::string> i_latitude{};
};
using FG_SoaApiPlace_FindNearbyParametersOut = ParametersOut<std::vector<FG_DTSPlace>>;

// Country, region and city of a position: GET /soa.api.pellar.tracking-info.
struct FG_SoaApiPellar_TrackingInfoParametersIn {
    std::optional<std::string> i_longitude{};
    std::optional<std::string> i_latitude{};
};
using FG_SoaApiPellar_TrackingInfoParametersOut = ParametersOut<FG_TrackingInfo>;

// Groups, a page at a time: GET /soa.api.group.list.
struct FG_SoaApiGroup_ListParametersIn {
    std::optional<std::string> i_items{};
    std::optional<std::string> i_offset{};
};
using FG_SoaApiGroup_ListParametersOut = ParametersOut<std::vector<FG_GroupData>>;

// Groups by name: GET /soa.api.group.find-groupname.
struct FG_SoaApiGroup_FindGroupnameParametersIn {
    std::optional<std::string> i_items{};
    std::optional<std::string> i_offset{};
    std::optional<std::string> i_name{};
};
using FG_SoaApiGroup_FindGroupnameParametersOut = ParametersOut<std::vector<FG_GroupData>>;

// The user's groups: GET /soa.api.group.subscription. The platform knows the user by the token, so `i_id`
// is never sent.
struct FG_SoaApiGroup_SubscriptionParametersIn {
    std::optional<std::string> i_id{};
};
using FG_SoaApiGroup_SubscriptionParametersOut = ParametersOut<std::vector<FG_GroupData>>;

// Joining a group: POST /soa.api.group.join/<i_resourceId>.
struct FG_SoaApiGroup_JoinParametersIn {
    std::optional<std::string> i_resourceId{};
    std::optional<std::string> i_id{};
};
using FG_SoaApiGroup_JoinParametersOut = ParametersOut<std::vector<FG_ResourceId>>;

// Leaving a group: POST /soa.api.group.leave/<i_resourceId>.
struct FG_SoaApiGroup_LeaveParametersIn {
    std::optional<std::string> i_resourceId{};
    std::optional<std::string> i_id{};
};
using FG_SoaApiGroup_LeaveParametersOut = ParametersOut<std::vector<FG_ResourceId>>;

namespace serviceCatalogue {

using enum ServiceTransport;
using enum ServicePathSuffix;

using UserInfoIn = FG_SoaApiUser_InfoParametersIn;
using AppParametersIn = FG_SoaApiUser_AppParametersParametersIn;
using CreateAnonymousIn = FG_SoaApiUser_CreateAnonymousParametersIn;
using UserUpdateIn = FG_SoaApiUser_UpdateParametersIn;
using UserProfileIn = FG_SoaApiUser_UserProfileParametersIn;
using LocationUpdateIn = FG_SoaApiUserLocation_UpdateParametersIn;
using FindNearbyIn = FG_SoaApiPlace_FindNearbyParametersIn;
using TrackingInfoIn = FG_SoaApiPellar_TrackingInfoParametersIn;
using GroupListIn = FG_SoaApiGroup_ListParametersIn;
using FindGroupnameIn = FG_SoaApiGroup_FindGroupnameParametersIn;
using SubscriptionIn = FG_SoaApiGroup_SubscriptionParametersIn;
using JoinIn = FG_SoaApiGroup_JoinParametersIn;
using LeaveIn = FG_SoaApiGroup_LeaveParametersIn;

inline constexpr auto kUserInfo = serviceEntry<UserInfoIn, FG_SoaApiUser_InfoParametersOut>(
    "/soa.api.user.info", get, resourceId);
inline constexpr auto kAppParameters = serviceEntry<AppParametersIn, FG_SoaApiUser_AppParametersParametersOut>(
    "/soa.api.user.app-parameters", get, resourceId);
inline constexpr auto kCreateAnonymous = serviceEntry<CreateAnonymousIn, FG_SoaApiUser_CreateAnonymousParametersOut>(
    "/soa.api.user.create-anonymous", post, none,
    sent("extra", &CreateAnonymousIn::i_extra), sent("version", &CreateAnonymousIn::i_version),
    sent("deviceId", &CreateAnonymousIn::i_deviceId),
    sent("notificationsToken", &CreateAnonymousIn::i_notificationsToken),
    sent("device", &CreateAnonymousIn::i_device), sent("platform", &CreateAnonymousIn::i_platform));
inline constexpr auto kUserUpdate = serviceEntry<UserUpdateIn, FG_SoaApiUser_UpdateParametersOut>(
    "/soa.api.user.update", post, resourceId,
    sent("extra", &UserUpdateIn::i_extra), sent("device", &UserUpdateIn::i_device),
    sent("version", &UserUpdateIn::i_version), sent("password", &UserUpdateIn::i_password),
    sent("email", &UserUpdateIn::i_email), sent("notificationsToken", &UserUpdateIn::i_notificationsToken));
inline constexpr auto kUserProfile = serviceEntry<UserProfileIn, FG_SoaApiUser_UserProfileParametersOut>(
    "/soa.api.user.user-profile", get, resourceId);
inline constexpr auto kLocationUpdate = serviceEntry<LocationUpdateIn, FG_SoaApiUserLocation_UpdateParametersOut>(
    "/soa.api.user.location.update", postAsync, resourceId,
    sent("longitude", &LocationUpdateIn::i_longitude), sent("latitude", &LocationUpdateIn::i_latitude),
    sent("extra", &LocationUpdateIn::i_extra));
inline constexpr auto kFindNearby = serviceEntry<FindNearbyIn, FG_SoaApiPlace_FindNearbyParametersOut>(
    "/soa.api.user.find-places-nearby/", get, storedResourceId,
    sent("longitude", &FindNearbyIn::i_longitude), sent("latitude", &FindNearbyIn::i_latitude));
inline constexpr auto kTrackingInfo = serviceEntry<TrackingInfoIn, FG_SoaApiPellar_TrackingInfoParametersOut>(
    "/soa.api.pellar.tracking-info", get, none,
    sent("longitude", &TrackingInfoIn::i_longitude, "0"), sent("latitude", &TrackingInfoIn::i_latitude, "0"));
inline constexpr auto kGroupList = serviceEntry<GroupListIn, FG_SoaApiGroup_ListParametersOut>(
    "/soa.api.group.list", get, none,
    sent("items", &GroupListIn::i_items), sent("offset", &GroupListIn::i_offset));
inline constexpr auto kFindGroupname = serviceEntry<FindGroupnameIn, FG_SoaApiGroup_FindGroupnameParametersOut>(
    "/soa.api.group.find-groupname", get, none,
    sent("items", &FindGroupnameIn::i_items), sent("offset", &FindGroupnameIn::i_offset),
    sent("name", &FindGroupnameIn::i_name));
inline constexpr auto kSubscription = serviceEntry<SubscriptionIn, FG_SoaApiGroup_SubscriptionParametersOut>(
    "/soa.api.group.subscription", get, none);
inline constexpr auto kJoin = serviceEntry<JoinIn, FG_SoaApiGroup_JoinParametersOut>(
    "/soa.api.group.join", post, resourceId, sent("id", &JoinIn::i_id));
inline constexpr auto kLeave = serviceEntry<LeaveIn, FG_SoaApiGroup_LeaveParametersOut>(
    "/soa.api.group.leave", post, resourceId, sent("id", &LeaveIn::i_id));

}  // namespace serviceCatalogue

using FG_SoaApiUser_InfoService = PlatformService<serviceCatalogue::kUserInfo>;
using FG_SoaApiUser_AppParametersService = PlatformService<serviceCatalogue::kAppParameters>;
using FG_SoaApiUser_CreateAnonymousService = PlatformService<serviceCatalogue::kCreateAnonymous>;
using FG_SoaApiUser_UpdateService = PlatformService<serviceCatalogue::kUserUpdate>;
using FG_SoaApiUser_UserProfileService = PlatformService<serviceCatalogue::kUserProfile>;
using FG_SoaApiUserLocation_UpdateService = PlatformService<serviceCatalogue::kLocationUpdate>;
// Built with the settings too: its address ends with the stored resource id.
using FG_SoaApiPlace_FindNearbyService = PlatformService<serviceCatalogue::kFindNearby>;
using FG_SoaApiPellar_TrackingInfoService = PlatformService<serviceCatalogue::kTrackingInfo>;
using FG_SoaApiGroup_ListService = PlatformService<serviceCatalogue::kGroupList>;
using FG_SoaApiGroup_FindGroupnameService = PlatformService<serviceCatalogue::kFindGroupname>;
using FG_SoaApiGroup_SubscriptionService = PlatformService<serviceCatalogue::kSubscription>;
using FG_SoaApiGroup_JoinService = PlatformService<serviceCatalogue::kJoin>;
using FG_SoaApiGroup_LeaveService = PlatformService<serviceCatalogue::kLeave>;

}  // namespace fenk
