#include "services/cRegistry.h"

#include "os/Registry.h"
#include "os/System.h"

#include <cstring>

namespace tarnwick {

namespace {

os::RegHandle Root(std::int32_t classKey) { return static_cast<os::RegHandle>(static_cast<std::uint32_t>(classKey)); }

// Closes what it opened, on every way out of a member.
class OpenedKey {
public:
    OpenedKey() = default;
    ~OpenedKey()
    {
        if (open_)
            os::RegistryCloseKey(handle_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    long Open(std::int32_t root, const std::string& path, std::uint32_t access)
    {
        if (root == 0)
            return os::kRegInvalidHandle;
        const long r = os::RegistryOpenKey(Root(root), path, access, &handle_);
        open_ = r == os::kRegOk;
        return r;
    }
    long Create(std::int32_t root, const std::string& path)
    {
        if (root == 0)
            return os::kRegInvalidHandle;
        const long r = os::RegistryCreateKey(Root(root), path, os::kKEY_ALL_BASIC, &handle_);
        open_ = r == os::kRegOk;
        return r;
    }
    os::RegHandle Handle() const { return handle_; }

private:
    os::RegHandle handle_ = 0;
    bool open_ = false;
};

std::string ValueAsText(const Variant& v)
{
    if (const auto* b = std::get_if<Bytes>(&v)) {
        // Bytes as hex pairs, as the registry editor shows them.
        static const char* digits = "0123456789abcdef";
        std::string out;
        for (std::size_t i = 0; i < b->size(); ++i) {
            if (i)
                out += ' ';
            out += digits[(*b)[i] >> 4];
            out += digits[(*b)[i] & 15];
        }
        return out;
    }
    return ToText(v);
}

} // namespace

RegistryError::RegistryError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description), number_(number), source_(std::move(source)),
      description_(std::move(description))
{
}

std::string cRegistry::ErrorSource()
{
    std::string name = os::ProgramPath();
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name + ".cRegistry";
}

void cRegistry::Raise(std::int32_t number, const std::string& description) const
{
    throw RegistryError(number, ErrorSource(), description);
}

std::string cRegistry::KeyText() const { return std::to_string(classKey_); }

bool cRegistry::NeedsExpansion(const std::string& text)
{
    const std::size_t first = text.find('%');
    return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

std::int32_t cRegistry::ReverseByteOrder(std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>((u >> 24) | ((u >> 8) & 0xFF00u) | ((u << 8) & 0xFF0000u) | (u << 24));
}

std::string cRegistry::ExpandEnvironmentText(const std::string& text)
{
    const std::uint32_t m = os::ExpandEnvironment(text, nullptr, 0);
    if (m == 0)
        return text;
    std::string buffer(m, '\0');
    os::ExpandEnvironment(text, buffer.data(), m);
    buffer.resize(m - 1);
    return buffer;
}

bool cRegistry::KeyExists() const
{
    OpenedKey key;
    return key.Open(classKey_, sectionKey_, os::kKEY_QUERY_VALUE) == os::kRegOk;
}

bool cRegistry::CreateKey()
{
    OpenedKey key;
    if (key.Create(classKey_, sectionKey_) != os::kRegOk)
        Raise(kErrorFailed, "Failed to create registry Key: '" + sectionKey_);
    return true;
}

bool cRegistry::DeleteKey()
{
    if (classKey_ == 0 || os::RegistryDeleteKey(Root(classKey_), sectionKey_) != os::kRegOk)
        Raise(kErrorFailed, "Failed to delete registry Key: '" + KeyText() + "',Section: '" + sectionKey_);
    return true;
}

bool cRegistry::DeleteValue()
{
    OpenedKey key;
    if (key.Open(classKey_, sectionKey_, os::kKEY_ALL_BASIC) != os::kRegOk)
        Raise(kErrorFailed, "Failed to open key '" + KeyText() + "',Section: '" + sectionKey_ + "' for delete access");
    if (os::RegistryDeleteValue(key.Handle(), valueKey_) != os::kRegOk)
        Raise(kErrorFailed, "Failed to delete registry Key: '" + KeyText() + "',Section: '" + sectionKey_ +
                                "',Key: '" + valueKey_);
    return true;
}

Variant cRegistry::Value()
{
    OpenedKey key;
    key.Open(classKey_, sectionKey_, os::kKEY_QUERY_VALUE);
    std::uint32_t type = 0, size = 0;
    unsigned char probe = 0;
    const long r = os::RegistryQueryValue(key.Handle(), valueKey_, &type, &probe, &size);
    if (r != os::kRegOk && r != os::kRegMoreData)
        return default_;
    valueType_ = static_cast<std::int32_t>(type);
    std::string data(size, '\0');
    if (size > 0 &&
        os::RegistryQueryValue(key.Handle(), valueKey_, &type, reinterpret_cast<unsigned char*>(data.data()), &size) !=
            os::kRegOk)
        return default_;
    data.resize(size);
    switch (type) {
    case REG_SZ:
    case REG_MULTI_SZ:
    case REG_EXPAND_SZ: {
        // An empty value has no NUL to drop: it reads as the empty text.
        std::string text = data.empty() ? std::string() : data.substr(0, data.size() - 1);
        return Variant(type == REG_EXPAND_SZ ? ExpandEnvironmentText(text) : text);
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        if (data.size() < 4)
            break;
        std::uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = (u << 8) | static_cast<unsigned char>(data[i]);
        std::int32_t n = static_cast<std::int32_t>(u);
        return MakeVariant(type == REG_DWORD ? n : ReverseByteOrder(n));
    }
    default:
        break;
    }
    return Variant(Bytes(data.begin(), data.end()));
}

void cRegistry::Value(const Variant& vValue)
{
    const std::string failure = "Failed to set registry value Key: '" + KeyText() + "',Section: '" + sectionKey_ +
                                "',Key: '" + valueKey_ + "' to value: '" + ValueAsText(vValue) + "'";
    OpenedKey key;
    if (key.Create(classKey_, sectionKey_) != os::kRegOk)
        Raise(kErrorFailed, failure);
    long written = -1;
    switch (valueType_) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const std::string text = ToText(vValue);
        const std::uint32_t type = NeedsExpansion(text) ? REG_EXPAND_SZ : REG_SZ;
        written = os::RegistrySetValue(key.Handle(), valueKey_, type, reinterpret_cast<const unsigned char*>(text.c_str()),
                                       static_cast<std::uint32_t>(text.size() + 1));
        break;
    }
    case REG_BINARY: {
        const auto* bytes = std::get_if<Bytes>(&vValue);
        if (!bytes)
            throw RegistryError(kErrorFailed, {}, {});
        written = os::RegistrySetValue(key.Handle(), valueKey_, REG_BINARY, bytes->data(),
                                       static_cast<std::uint32_t>(bytes->size()));
        break;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        const auto* n = std::get_if<long long>(&vValue);
        if (!n || *n < INT32_MIN || *n > INT32_MAX)
            return; // not a whole number of 32 bits: nothing, silently
        const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(*n));
        const unsigned char le[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                     static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
        written = os::RegistrySetValue(key.Handle(), valueKey_, REG_DWORD, le, 4);
        break;
    }
    default:
        break;
    }
    if (written != os::kRegOk)
        Raise(kErrorSetValue, failure);
}

bool cRegistry::EnumerateValues(std::vector<std::string>& sKeyNames, std::int32_t& iKeyCount) const
{
    iKeyCount = 0;
    sKeyNames.clear();
    OpenedKey key;
    if (key.Open(classKey_, sectionKey_, os::kKEY_QUERY_VALUE) != os::kRegOk)
        return true;
    std::uint32_t longest = 0;
    if (os::RegistryQueryInfoKey(key.Handle(), &longest) != os::kRegOk)
        return true;
    std::vector<char> buffer(longest + 1);
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t length = longest + 1;
        if (os::RegistryEnumValue(key.Handle(), index, buffer.data(), &length) != os::kRegOk)
            break;
        sKeyNames.emplace_back(buffer.data(), length);
        ++iKeyCount;
    }
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& sSect, std::int32_t& iSectCount) const
{
    iSectCount = 0;
    sSect.clear();
    OpenedKey key;
    if (key.Open(classKey_, sectionKey_, os::kKEY_ENUMERATE_SUB_KEYS) != os::kRegOk)
        return true;
    try {
        char buffer[256];
        for (std::uint32_t index = 0;; ++index) {
            std::memset(buffer, 0, sizeof buffer);
            if (os::RegistryEnumKey(key.Handle(), index, buffer, 255) != os::kRegOk)
                break;
            ++iSectCount;
            sSect.emplace_back(buffer, ::strnlen(buffer, 255));
        }
    } catch (const std::exception& e) {
        Raise(kErrorEnumerate, e.what());
    }
    return true;
}

} // namespace tarnwick
