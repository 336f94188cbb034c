#include "adapters/linux/LinuxDevice.h"
#include "contract/DeviceContract.h"

namespace fenk::contract {

INSTANTIATE_TYPED_TEST_SUITE_P(Linux, DeviceContract, LinuxDevice);

}  // namespace fenk::contract
