#include "FenkSDK/places/FenkGeohash.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace fenk {
namespace {

using Range = FenkGeohash::Range;

constexpr std::string_view kAlphabet = "0123456789bcdefghjkmnpqrstuvwxyz";
constexpr int kBitsPerCharacter = 5;
constexpr uint64_t kCharacterMask = (uint64_t{1} << kBitsPerCharacter) - 1;
constexpr uint8_t kNotInAlphabet = 0xFF;

// Twelve characters are 60 interleaved bits, the longest hash whose bits fit one machine word. At 30 bits
// per axis every bisection midpoint is still an exact double, so a cell index fully describes the bisection.
constexpr int kWordCharacters = 12;
constexpr int kWordBits = 64;

constexpr std::array<uint8_t, 256> kCharacterValues = [] {
    std::array<uint8_t, 256> values{};
    values.fill(kNotInAlphabet);
    for (size_t value = 0; value < kAlphabet.size(); ++value) {
        values[static_cast<unsigned char>(kAlphabet[value])] = static_cast<uint8_t>(value);
    }
    return values;
}();

struct Axis {
    double lowerBound;
    double width;
    double inverseWidth;
};

constexpr Axis kLongitude{-180.0, 360.0, 1.0 / 360.0};
constexpr Axis kLatitude{-90.0, 180.0, 1.0 / 180.0};

// Longitude takes the even bit positions, so it gets the extra bit of an odd count.
struct AxisBits {
    int longitude;
    int latitude;
};

constexpr AxisBits splitBits(int interleavedBits) {
    return {(interleavedBits + 1) / 2, interleavedBits / 2};
}

constexpr double powerOfTwo(int exponent) {
    constexpr int kExponentBias = 1023;
    constexpr int kMantissaBits = 52;
    return std::bit_cast<double>(static_cast<uint64_t>(kExponentBias + exponent) << kMantissaBits);
}

double cellWidth(const Axis& axis, int bits) {
    return axis.width * powerOfTwo(-bits);
}

// Every boundary the bisection can reach within the word is lowerBound + index * 45 * 2^-k with index * 45
// below 2^36, so the product and the sum are exact.
Range cellRange(const Axis& axis, int bits, int64_t index) {
    const double width = cellWidth(axis, bits);
    const double min = axis.lowerBound + static_cast<double>(index) * width;
    return {min, min + width};
}

// The cell that `bits` rounds of bisection put `value` in. Scaling guesses the cell to within one, and a
// comparison with the exact boundaries settles it, so the result matches bisection for every double.
// NaN compares as "not less" everywhere, hence the last cell, as do values at or above the upper bound.
// Indices are signed because signed integers convert to double in a single instruction.
int64_t cellIndex(double value, const Axis& axis, int bits) {
    const int64_t lastCell = (int64_t{1} << bits) - 1;
    const double lastCellAsDouble = static_cast<double>(lastCell);
    const double guess = (value - axis.lowerBound) * (axis.inverseWidth * powerOfTwo(bits));
    const double belowTop = guess < lastCellAsDouble ? guess : lastCellAsDouble;  // NaN and infinity as well
    const auto index = static_cast<int64_t>(belowTop > 0.0 ? belowTop : 0.0);
    const Range guessedCell = cellRange(axis, bits, index);
    const bool belowCell = (index > 0) & (value < guessedCell.min);
    const bool aboveCell = (index < lastCell) & (value >= guessedCell.max);
    return index - belowCell + aboveCell;
}

// Bit k of the input moves to bit 2k (input below 2^32).
constexpr uint64_t spreadBits(int64_t index) {
    auto bits = static_cast<uint64_t>(index);
    bits = (bits | bits << 16) & 0x0000FFFF0000FFFFull;
    bits = (bits | bits << 8) & 0x00FF00FF00FF00FFull;
    bits = (bits | bits << 4) & 0x0F0F0F0F0F0F0F0Full;
    bits = (bits | bits << 2) & 0x3333333333333333ull;
    return (bits | bits << 1) & 0x5555555555555555ull;
}

// Bit 2k of the input moves to bit k; odd bits are dropped.
constexpr int64_t compactBits(uint64_t bits) {
    bits &= 0x5555555555555555ull;
    bits = (bits | bits >> 1) & 0x3333333333333333ull;
    bits = (bits | bits >> 2) & 0x0F0F0F0F0F0F0F0Full;
    bits = (bits | bits >> 4) & 0x00FF00FF00FF00FFull;
    bits = (bits | bits >> 8) & 0x0000FFFF0000FFFFull;
    return static_cast<int64_t>((bits | bits >> 16) & 0x00000000FFFFFFFFull);
}

// In a word of `interleavedBits` bits the first hash bit is the most significant one, so longitude sits on
// the odd bits of the word when the count is even and on the even bits when it is odd.
int latitudeShift(int interleavedBits) {
    return interleavedBits & 1;
}

int longitudeShift(int interleavedBits) {
    return 1 - latitudeShift(interleavedBits);
}

// Bit-by-bit bisection for the bits past the machine word. Once the ranges are narrower than the precision
// of a double the midpoint rounds onto an end of the range; stepping through it reproduces that faithfully.
class TailBisection {
public:
    // The word holds an even number of bits, so the tail starts on a longitude bit.
    TailBisection(Range longitude, Range latitude) : ranges_{longitude, latitude} {}

    unsigned encodeCharacter(double longitude, double latitude) {
        const std::array<double, 2> coordinates{longitude, latitude};
        unsigned value = 0;
        for (int bit = 0; bit < kBitsPerCharacter; ++bit) {
            const double coordinate = coordinates[nextAxis_];
            Range& range = nextRange();
            const double mid = midpoint(range);
            const bool upperHalf = !(coordinate < mid);
            keepHalf(range, mid, upperHalf);
            value = value << 1 | static_cast<unsigned>(upperHalf);
        }
        return value;
    }

    void decodeCharacter(unsigned value) {
        for (int bit = kBitsPerCharacter - 1; bit >= 0; --bit) {
            Range& range = nextRange();
            keepHalf(range, midpoint(range), ((value >> bit) & 1) != 0);
        }
    }

    FenkGeohash::CellBox box() const { return {ranges_[1], ranges_[0]}; }

private:
    static double midpoint(const Range& range) { return (range.min + range.max) * 0.5; }

    static void keepHalf(Range& range, double mid, bool upperHalf) {
        (upperHalf ? range.min : range.max) = mid;
    }

    Range& nextRange() {
        Range& range = ranges_[nextAxis_];
        nextAxis_ ^= 1;
        return range;
    }

    std::array<Range, 2> ranges_;  // longitude, latitude
    size_t nextAxis_ = 0;
};

}  // namespace

std::string FenkGeohash::encode(double latitude, double longitude, int length) {
    std::string hash;  // the only object returned, so it is built in place rather than moved
    if (length <= 0) {
        return hash;
    }
    const int wordCharacters = std::min(length, kWordCharacters);
    const int wordBits = wordCharacters * kBitsPerCharacter;
    const AxisBits bits = splitBits(wordBits);
    const int64_t longitudeCell = cellIndex(longitude, kLongitude, bits.longitude);
    const int64_t latitudeCell = cellIndex(latitude, kLatitude, bits.latitude);
    // Left-aligned, each character is the top five bits in turn. All twelve are spelled out (a fixed count
    // the compiler unrolls) and the string takes the ones that belong to the hash.
    uint64_t word = (spreadBits(longitudeCell) << longitudeShift(wordBits) |
                     spreadBits(latitudeCell) << latitudeShift(wordBits))
                    << (kWordBits - wordBits);
    std::array<char, kWordCharacters> characters{};
    for (char& character : characters) {
        character = kAlphabet[word >> (kWordBits - kBitsPerCharacter)];
        word <<= kBitsPerCharacter;
    }
    // A copy of constant size stays inline and fits the short-string buffer; resize drops the surplus.
    hash.assign(characters.data(), characters.size());
    hash.resize(static_cast<size_t>(wordCharacters));
    if (length > kWordCharacters) {
        TailBisection tail(cellRange(kLongitude, bits.longitude, longitudeCell),
                           cellRange(kLatitude, bits.latitude, latitudeCell));
        while (hash.size() < static_cast<size_t>(length)) {
            hash += kAlphabet[tail.encodeCharacter(longitude, latitude)];
        }
    }
    return hash;
}

std::string FenkGeohash::encode(double latitude, double longitude, Precision precision) {
    return encode(latitude, longitude, static_cast<int>(precision));
}

std::optional<FenkGeohash::CellBox> FenkGeohash::decode(std::string_view hash) {
    const size_t wordCharacters = std::min(hash.size(), static_cast<size_t>(kWordCharacters));
    uint64_t word = 0;
    unsigned allValues = 0;  // any character outside the alphabet sets bits above the low five
    for (size_t character = 0; character < wordCharacters; ++character) {
        const uint8_t value = kCharacterValues[static_cast<unsigned char>(hash[character])];
        allValues |= value;
        word = word << kBitsPerCharacter | value;
    }
    if (allValues > kCharacterMask) {
        return std::nullopt;
    }
    const int wordBits = static_cast<int>(wordCharacters) * kBitsPerCharacter;
    const AxisBits bits = splitBits(wordBits);
    const Range longitude = cellRange(kLongitude, bits.longitude, compactBits(word >> longitudeShift(wordBits)));
    const Range latitude = cellRange(kLatitude, bits.latitude, compactBits(word >> latitudeShift(wordBits)));
    if (hash.size() <= wordCharacters) {
        return CellBox{latitude, longitude};
    }
    TailBisection tail(longitude, latitude);
    for (const char character : hash.substr(wordCharacters)) {
        const uint8_t value = kCharacterValues[static_cast<unsigned char>(character)];
        if (value == kNotInAlphabet) {
            return std::nullopt;
        }
        tail.decodeCharacter(value);
    }
    return tail.box();
}

std::string fenkGeohash(const LocationCoordinate2D& coordinate, int length) {
    return FenkGeohash::encode(coordinate.latitude, coordinate.longitude, length);
}

std::string fenkGeohash(const LocationCoordinate2D& coordinate, FenkGeohash::Precision precision) {
    return FenkGeohash::encode(coordinate.latitude, coordinate.longitude, precision);
}

LocationCoordinate2D coordinateFromGeohash(std::string_view hash) {
    const std::optional<FenkGeohash::CellBox> box = FenkGeohash::decode(hash);
    if (!box) {
        return kLocationCoordinate2DInvalid;
    }
    return {(box->latitude.min + box->latitude.max) * 0.5, (box->longitude.min + box->longitude.max) * 0.5};
}

}  // namespace fenk
