#include "tools/fenk-platform/GroupServices.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <vector>

#include "FenkSDK/api/FG_GroupData.h"
#include "FenkSDK/api/FG_ResourceId.h"

namespace fenk::groupServices {
namespace {

constexpr std::size_t kDefaultPageItems = 20;

std::size_t pageNumber(const ServiceCall& call, std::string_view name, std::size_t fallback) {
    const std::optional<std::string> text = call.parameter(name);
    if (!text || text->empty()) return fallback;
    std::size_t number = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, number);
    if (error != std::errc{} || stop != end) {
        throw ServiceRefusal{"INVALID_PAGING", std::string(name) + " must be a whole number"};
    }
    return number;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    const auto lower = [](char character) { return std::tolower(static_cast<unsigned char>(character)); };
    return part.empty() || !std::ranges::search(text, part, {}, lower, lower).empty();
}

// The app's groups that pass the filter, one page of them, each telling whether the session's user is a
// member.
std::string pageOfGroups(ServiceContext& context, const ServiceCall& call,
                         const std::function<bool(const SeedGroup&, bool member)>& wanted) {
    const std::vector<std::string> memberships =
        call.session.resourceId ? context.store.groupsOf(*call.session.resourceId) : std::vector<std::string>{};
    std::vector<FG_GroupData> groups;
    for (const SeedGroup& group : orEmpty(call.app.groups)) {
        const bool member = std::ranges::find(memberships, group.resourceId) != memberships.end();
        if (!wanted(group, member)) continue;
        groups.push_back({.resourceId = group.resourceId,
                          .name = group.name,
                          .descripcion = group.description,
                          .subscription = call.session.resourceId
                                              ? std::optional<std::string>(member ? "true" : "false")
                                              : std::nullopt});
    }
    const std::size_t total = groups.size();
    const std::size_t offset = std::min(pageNumber(call, "offset", 0), total);
    const std::size_t items = std::min(pageNumber(call, "items", kDefaultPageItems), total - offset);
    std::vector<FG_GroupData> page(groups.begin() + static_cast<std::ptrdiff_t>(offset),
                                   groups.begin() + static_cast<std::ptrdiff_t>(offset + items));
    FG_Paging paging{.items = std::to_string(items),
                     .totalItems = std::to_string(total),
                     .offset = std::to_string(offset)};
    return successReply(call, std::move(page), std::move(paging));
}

// The group a join or leave names: in the path, else in "id".
const SeedGroup& requireGroup(ServiceContext& context, const ServiceCall& call) {
    const std::optional<std::string> id = call.resourceId ? call.resourceId : call.parameter("id");
    const SeedGroup* group = id ? context.catalogue.group(call.app, *id) : nullptr;
    if (!group) throw ServiceRefusal{"GROUP_NOT_FOUND", "no such group in this app"};
    return *group;
}

std::vector<FG_ResourceId> affected(const SeedGroup& group) { return {FG_ResourceId{group.resourceId}}; }

}  // namespace

std::string list(ServiceContext& context, const ServiceCall& call) {
    return pageOfGroups(context, call, [](const SeedGroup&, bool) { return true; });
}

std::string findGroupname(ServiceContext& context, const ServiceCall& call) {
    const std::string name = call.parameter("name").value_or("");
    return pageOfGroups(context, call, [&](const SeedGroup& group, bool) {
        return containsIgnoringCase(group.name.value_or(""), name);
    });
}

std::string subscription(ServiceContext& context, const ServiceCall& call) {
    requireSessionUser(call);
    return pageOfGroups(context, call, [](const SeedGroup&, bool member) { return member; });
}

std::string join(ServiceContext& context, const ServiceCall& call) {
    const SeedGroup& group = requireGroup(context, call);
    context.store.join(group.resourceId, requireSessionUser(call));
    return successReply(call, affected(group));
}

std::string leave(ServiceContext& context, const ServiceCall& call) {
    const SeedGroup& group = requireGroup(context, call);
    context.store.leave(group.resourceId, requireSessionUser(call));
    return successReply(call, affected(group));
}

}  // namespace fenk::groupServices
