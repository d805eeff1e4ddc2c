#pragma once
// A gateway to the registry: say which value by ClassKey (the root),
// SectionKey (the key's path) and ValueKey (the value's name), then test,
// create or delete the key, read, write or delete the value, or list the
// key's values or subkeys. No key stays open between calls.
#include "services/Variant.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick {

// The one kind of error the class raises.
class RegistryError : public std::runtime_error {
public:
    RegistryError(std::int32_t number, std::string source, std::string description);
    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

class cRegistry {
public:
    static constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
    static constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
    static constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002u);
    static constexpr std::int32_t REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4,
                                  REG_DWORD_BIG_ENDIAN = 5, REG_MULTI_SZ = 7;

    static constexpr std::int32_t kErrorFailed = 26001;
    static constexpr std::int32_t kErrorSetValue = static_cast<std::int32_t>(0x800469A9u);
    static constexpr std::int32_t kErrorEnumerate = static_cast<std::int32_t>(0x800469AAu);
    static constexpr std::int32_t kErrorParameters = static_cast<std::int32_t>(0x800469ACu);
    static constexpr std::int32_t kErrorNoClass = static_cast<std::int32_t>(0x800469ADu);

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();
    // The value, or Default when it cannot be read; sets ValueType to the
    // type found.
    Variant Value();
    void Value(const Variant& vValue);
    bool EnumerateValues(std::vector<std::string>& sKeyNames, std::int32_t& iKeyCount) const;
    bool EnumerateSections(std::vector<std::string>& sSect, std::int32_t& iSectCount) const;

    // Registers a document class for a file extension (see FileAssociation.cpp).
    void CreateEXEAssociation(const std::string& sExePath, const std::string& sClassName,
                              const std::string& sClassDescription, const std::string& sAssociation,
                              const std::string& sOpenMenuText = "&Open", bool bSupportPrint = false,
                              const std::string& sPrintMenuText = "&Print", bool bSupportNew = false,
                              const std::string& sNewMenuText = "&New", bool bSupportInstall = false,
                              const std::string& sInstallMenuText = "", std::int32_t lDefaultIconIndex = -1);
    // Adds verbs to an existing class: items in triples of verb, menu text
    // and command line.
    void CreateAdditionalEXEAssociations(const std::string& sClassName, const std::vector<Variant>& vItems);

    std::int32_t ValueType() const { return valueType_; }
    void ValueType(std::int32_t eValueType) { valueType_ = eValueType; }
    std::int32_t ClassKey() const { return classKey_; }
    void ClassKey(std::int32_t eKey) { classKey_ = eKey; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SectionKey(const std::string& sSectionKey) { sectionKey_ = sSectionKey; }
    const std::string& ValueKey() const { return valueKey_; }
    void ValueKey(const std::string& sValueKey) { valueKey_ = sValueKey; }
    const Variant& Default() const { return default_; }
    void Default(const Variant& vDefault) { default_ = vDefault; }

    // The errors' source: the executable's name without extension + ".cRegistry".
    static std::string ErrorSource();
    // Whether text is stored as REG_EXPAND_SZ: two percent signs with at
    // least one character between them.
    static bool NeedsExpansion(const std::string& text);

private:
    static std::int32_t ReverseByteOrder(std::int32_t value);
    static std::string ExpandEnvironmentText(const std::string& text);
    [[noreturn]] void Raise(std::int32_t number, const std::string& description) const;
    std::string KeyText() const;

    std::int32_t classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    std::int32_t valueType_ = 0;
    Variant default_;
};

} // namespace tarnwick
