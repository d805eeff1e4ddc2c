#pragma once
// Registry functions with the meaning and return codes of their Win32
// namesakes (RegOpenKeyExA and the rest), under names of our own. On Windows
// they are the system's; on POSIX the OS layer keeps a registry of its own in
// one REGEDIT4 text file in the user's data folder
// ($XDG_DATA_HOME/tarnwick/registry.reg, default ~/.local/share/tarnwick/).
#include <cstdint>
#include <string>

namespace tarnwick::os {

using RegHandle = std::uintptr_t;

// The predefined roots, as the system numbers them.
constexpr RegHandle kHKEY_CLASSES_ROOT = 0x80000000u;
constexpr RegHandle kHKEY_CURRENT_USER = 0x80000001u;
constexpr RegHandle kHKEY_LOCAL_MACHINE = 0x80000002u;
constexpr RegHandle kHKEY_USERS = 0x80000003u;
constexpr RegHandle kHKEY_CURRENT_CONFIG = 0x80000005u;

// Return codes.
constexpr long kRegOk = 0;
constexpr long kRegNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;
constexpr long kRegNoMoreItems = 259;
constexpr long kRegBadStore = 1009; // the store cannot be read: it is damaged

// Value types.
constexpr std::uint32_t kREG_NONE = 0, kREG_SZ = 1, kREG_EXPAND_SZ = 2, kREG_BINARY = 3, kREG_DWORD = 4,
                        kREG_DWORD_BIG_ENDIAN = 5, kREG_MULTI_SZ = 7;

// Access rights.
constexpr std::uint32_t kKEY_QUERY_VALUE = 0x1, kKEY_SET_VALUE = 0x2, kKEY_CREATE_SUB_KEY = 0x4,
                        kKEY_ENUMERATE_SUB_KEYS = 0x8, kKEY_ALL_BASIC = 0x3F;

long RegistryOpenKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key);
// Opens the key, creating it and every missing key above it.
long RegistryCreateKey(RegHandle root, const std::string& path, std::uint32_t access, RegHandle* key);
long RegistryCloseKey(RegHandle key);
// With data null (or *size too small) reports the type and the size needed:
// 0 when the value fits (or has no data), 234 when it has more.
long RegistryQueryValue(RegHandle key, const std::string& name, std::uint32_t* type, unsigned char* data,
                        std::uint32_t* size);
long RegistrySetValue(RegHandle key, const std::string& name, std::uint32_t type, const unsigned char* data,
                      std::uint32_t size);
// Fails (access denied, as on Windows) for a key that has subkeys.
long RegistryDeleteKey(RegHandle root, const std::string& path);
long RegistryDeleteValue(RegHandle key, const std::string& name);
// The length of the longest value name, in characters.
long RegistryQueryInfoKey(RegHandle key, std::uint32_t* maxValueNameLength);
// `nameLength`: in, the buffer's size; out, the characters copied (no NUL).
long RegistryEnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength);
long RegistryEnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t length);

// %NAME% references replaced by the environment's values; returns the size
// the result needs, its NUL counted. With size 0 nothing is copied.
std::uint32_t ExpandEnvironment(const std::string& source, char* buffer, std::uint32_t size);

// POSIX: the store file, and why the last call failed on it ("" when it did
// not). Windows: empty.
std::string RegistryStorePath();
std::string RegistryStoreProblem();

} // namespace tarnwick::os
