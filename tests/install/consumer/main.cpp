// Links the installed library through its public headers and prints the cell of a coordinate.
#include "FenkSDK/FenkManager.h"
#include "FenkSDK/places/FenkGeohash.h"

#include <cstdio>

int main() {
    const auto cell = fenk::FenkGeohash::encode(40.4168, -3.7038, fenk::FenkGeohash::Precision::seventySixMeters);
    std::printf("%s\n", cell.c_str());
    return cell == "ezjmgtw" ? 0 : 1;
}
