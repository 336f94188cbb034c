#include "FenkSDK/UserDefault.h"

#include "FenkSDK/runtime/Console.h"

namespace fenk {

void UserDefault::reportUndecodable(std::string_view key, std::string_view error) {
    Console::print("Fenk: the value stored under " + std::string(key) + " cannot be decoded: " + std::string(error));
}

}  // namespace fenk
