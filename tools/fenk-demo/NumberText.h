#pragma once

#include <cstdint>
#include <string>

namespace fenk {

// 12345 as "12,345", for people to read.
std::string grouped(std::int64_t number);

}  // namespace fenk
