#include "platform/win32/win32_machine.h"

#include <windows.h>

#include <vector>

namespace orvox::platform {

std::string Win32MachineInfo::localMachineValue(const std::string& key, const std::string& valueName) const
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return {};
    std::string result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        // One byte more than asked for, so a value stored without its terminator still ends.
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(handle, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                             &got) == ERROR_SUCCESS) {
            result.assign(buffer.data());
        }
    }
    RegCloseKey(handle);
    return result;
}

bool Win32MachineInfo::isNtVersion4OrLater() const
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 4;
}

} // namespace orvox::platform
