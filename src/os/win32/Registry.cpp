// On Windows the registry functions are the system's own, passed straight
// through; only the handle and size types are converted.
#include <windows.h>

#include "os/Registry.h"

#include <cstring>
#include <vector>

namespace tarnwick::os {

namespace {

HKEY K(RegHandle h) { return reinterpret_cast<HKEY>(h); }

// The roots are given as their 32-bit numbers; a 64-bit HKEY of a
// predefined root is that number sign-extended.
HKEY Root(RegHandle h)
{
    if (h >= 0x80000000u && h <= 0x8000000Fu)
        return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
    return K(h);
}

} // namespace

long RegistryOpenKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key)
{
    if (!key)
        return ERROR_INVALID_PARAMETER;
    HKEY out = nullptr;
    long rc = ::RegOpenKeyExA(Root(root), path.c_str(), 0, access, &out);
    *key = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(out) : 0;
    return rc;
}

long RegistryCreateKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key)
{
    if (!key)
        return ERROR_INVALID_PARAMETER;
    HKEY out = nullptr;
    DWORD disposition = 0;
    char noClass[] = "";
    long rc = ::RegCreateKeyExA(Root(root), path.c_str(), 0, noClass, REG_OPTION_NON_VOLATILE, access, nullptr,
                                &out, &disposition);
    *key = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(out) : 0;
    return rc;
}

long RegistryCloseKey(RegHandle key) { return ::RegCloseKey(Root(key)); }

long RegistryQueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size)
{
    DWORD t = 0;
    DWORD n = size ? *size : 0;
    long rc = ::RegQueryValueExA(Root(key), name.c_str(), nullptr, &t, data, size ? &n : nullptr);
    if (type)
        *type = t;
    if (size)
        *size = n;
    return rc;
}

long RegistrySetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                      std::uint32_t size)
{
    return ::RegSetValueExA(Root(key), name.c_str(), 0, type, data, size);
}

long RegistryDeleteKey(RegHandle root, const std::string& path) { return ::RegDeleteKeyA(Root(root), path.c_str()); }

long RegistryDeleteValue(RegHandle key, const std::string& name)
{
    return ::RegDeleteValueA(Root(key), name.c_str());
}

long RegistryQueryInfoKey(RegHandle key, std::uint32_t* maxValueNameLength)
{
    DWORD longest = 0;
    long rc = ::RegQueryInfoKeyA(Root(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                                 nullptr, nullptr, nullptr);
    if (maxValueNameLength)
        *maxValueNameLength = longest;
    return rc;
}

long RegistryEnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength)
{
    if (!nameLength)
        return ERROR_INVALID_PARAMETER;
    DWORD n = *nameLength;
    long rc = ::RegEnumValueA(Root(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
    *nameLength = n;
    return rc;
}

long RegistryEnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t length)
{
    return ::RegEnumKeyA(Root(key), index, name, length);
}

std::uint32_t ExpandEnvironment(const std::string& source, char* buffer, std::uint32_t size)
{
    return ::ExpandEnvironmentStringsA(source.c_str(), size ? buffer : nullptr, size);
}

std::string RegistryStorePath() { return {}; }
std::string RegistryStoreProblem() { return {}; }

} // namespace tarnwick::os
