#include "adapters/fake/MemoryPreferences.h"
#include "adapters/fake/MemorySecureStore.h"
#include "contract/PreferencesContract.h"
#include "contract/SecureStoreContract.h"

namespace fenk::contract {
namespace {

struct MemoryPreferencesFactory {
    std::unique_ptr<Preferences> make() { return std::make_unique<MemoryPreferences>(); }
};

struct MemorySecureStoreFactory {
    std::unique_ptr<SecureStore> make() { return std::make_unique<MemorySecureStore>(); }
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Memory, PreferencesContract, MemoryPreferencesFactory);
INSTANTIATE_TYPED_TEST_SUITE_P(Memory, SecureStoreContract, MemorySecureStoreFactory);

}  // namespace fenk::contract
