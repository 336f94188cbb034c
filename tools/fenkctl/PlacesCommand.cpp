#include "FenkSDK/json/JsonWriter.h"
#include "FenkSDK/places/RelevantPlaceStore.h"
#include "adapters/linux/FileSecureStore.h"
#include "adapters/location/IsoTime.h"
#include "tools/fenkctl/LocationCommands.h"

#include <iostream>

namespace fenk {

int printPlaces(const std::filesystem::path& dataFolder) {
    FileSecureStore store(dataFolder / "secure");
    const auto places = RelevantPlaceStore(store).load();
    if (!places) {
        std::cerr << "fenkctl: the learned places cannot be read now\n";
        return 1;
    }
    for (const auto& [cell, place] : *places) {
        json::JsonWriter writer;
        writer.beginObject();
        writer.key("cell");
        writer.string(cell);
        if (place.type) {
            writer.key("type");
            writer.string(*place.type);
        }
        if (place.numStays) {
            writer.key("numStays");
            writer.integer(*place.numStays);
        }
        const std::pair<const char*, const std::optional<Timestamp>&> dates[] = {{"initialDate", place.initialDate},
                                                                                  {"finalDate", place.finalDate}};
        for (const auto& [name, date] : dates) {
            if (const auto text = date ? formatIsoTime(*date) : std::nullopt) {
                writer.key(name);
                writer.string(*text);
            }
        }
        writer.endObject();
        if (const auto line = std::move(writer).finish()) std::cout << *line << '\n';
    }
    return 0;
}

}  // namespace fenk
