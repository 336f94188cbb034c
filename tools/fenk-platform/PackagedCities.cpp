#include "tools/fenk-platform/PackagedCities.h"

#include <memory>

#include <dlfcn.h>

namespace fenk {
namespace {

// The library's city handle; it owns what its text functions return.
struct City;

struct LibraryClose {
    void operator()(void* handle) const { dlclose(handle); }
};

template <class Function>
Function* symbol(void* library, const char* name, std::string& error) {
    void* found = dlsym(library, name);
    if (!found && error.empty()) error = std::string("no ") + name + " in the gazetteer library";
    return reinterpret_cast<Function*>(found);
}

std::string textOf(const char* text) { return text ? text : ""; }

}  // namespace

std::optional<std::vector<GazetteerCity>> loadPackagedCities(const std::string& library, std::string& error) {
    // Never unloaded: the library keeps the cities it parsed in its own globals, which a later load then
    // finds ready, and which unloading would strand.
    const std::unique_ptr<void, LibraryClose> handle(dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot open " + library;
        return std::nullopt;
    }
    error.clear();
    auto* count = symbol<int()>(handle.get(), "geonames_get_n_cities", error);
    auto* cityAt = symbol<City*(int)>(handle.get(), "geonames_get_city", error);
    auto* release = symbol<void(City*)>(handle.get(), "geonames_city_free", error);
    auto* name = symbol<const char*(City*)>(handle.get(), "geonames_city_get_name", error);
    auto* region = symbol<const char*(City*)>(handle.get(), "geonames_city_get_state", error);
    auto* country = symbol<const char*(City*)>(handle.get(), "geonames_city_get_country", error);
    auto* latitude = symbol<double(City*)>(handle.get(), "geonames_city_get_latitude", error);
    auto* longitude = symbol<double(City*)>(handle.get(), "geonames_city_get_longitude", error);
    if (!error.empty()) return std::nullopt;

    std::vector<GazetteerCity> cities;
    const int total = count();
    cities.reserve(total > 0 ? static_cast<std::size_t>(total) : 0);
    for (int index = 0; index < total; ++index) {
        const std::unique_ptr<City, decltype(release)> city(cityAt(index), release);
        if (!city) continue;
        cities.push_back({.centre = {latitude(city.get()), longitude(city.get())},
                          .name = textOf(name(city.get())),
                          .region = textOf(region(city.get())),
                          .country = textOf(country(city.get()))});
    }
    return cities;
}

}  // namespace fenk
