// The Windows profile against the private-profile contract the core relies on:
// reads go through the system's functions, writes replace the file whole, and
// what one writes the other reads back (Wine's profile cache included).
#include <windows.h>

#include "../unit/profile_contract.h"
#include "platform/win32/win32_platform.h"

namespace orvox::test {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ProfileContract, ::testing::Types<platform::Win32Profile>);

} // namespace orvox::test
