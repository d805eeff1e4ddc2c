#pragma once
// Single named settings of an initialization file, through the profile-string
// calls of the system. Knows nothing of the program's own keys.
#include "services/Variant.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

class INI {
public:
    // The two profile-string calls; tests count or fake them. Empty members
    // mean the system's own.
    struct Hooks {
        std::function<std::uint32_t(const std::string& section, const std::string& key,
                                    const std::string& defaultText, char* buffer, std::uint32_t size,
                                    const std::string& file)>
            GetPrivateProfileString;
        std::function<bool(const std::string& section, const std::string& key, const std::string& value,
                           const std::string& file)>
            WritePrivateProfileString;
        // Several keys of one section in one replacement of the file.
        std::function<bool(const std::string& section,
                           const std::vector<std::pair<std::string, std::string>>& values, const std::string& file)>
            WritePrivateProfileStrings;
    };

    static constexpr const char* kHelpSaveSetting = "Saves a setting to an initialization file.";
    static constexpr const char* kHelpGetSetting = "Returns the saved setting in the initialization file.";
    static constexpr const char* kHelpDefaultValue =
        "The default value to return if there is no entry for the Setting under the Section.";
    static constexpr const char* kHelpSetting = "The name of the Setting value to retrieve";
    static constexpr const char* kHelpFileName = "The name of the initialization (*.ini) file to read or save to.";
    static constexpr const char* kHelpSection = "The name of the section to locate the Setting in.";

    // The size of the buffer a read gets: longer values are cut to one less.
    static constexpr std::uint32_t kBufferSize = 255;

    INI();
    explicit INI(Hooks hooks);

    // Stores each value's text under its setting in one write of the file:
    // afterwards the file holds all of them or, on failure (false), is as it
    // was. The section and file name are completed from their properties as
    // SaveSetting completes them; the Setting property is left alone.
    bool SaveSettings(const std::vector<std::pair<std::string, Variant>>& values, const std::string& Section = {},
                      const std::string& FileName = {});

    // Stores the value's text under the setting; a failed write is silent.
    // An empty name is taken from the property of that name; a name given
    // is kept in its property for later calls.
    void SaveSetting(const Variant& ValueToSave, const std::string& Setting = {}, const std::string& Section = {},
                     const std::string& FileName = {});

    // The stored text, or the default's text for a missing file, section or
    // key; the DefaultValue property itself when the names cannot be
    // completed. An omitted DefaultValue falls back to the property's text.
    Variant GetSetting(const std::string& Setting = {}, const std::optional<Variant>& DefaultValue = std::nullopt,
                       const std::string& Section = {}, const std::string& FileName = {});

    const Variant& DefaultValue() const { return defaultValue_; }
    void DefaultValue(const Variant& value) { defaultValue_ = value; }
    const std::string& Setting() const { return setting_; }
    void Setting(const std::string& value) { setting_ = value; }
    const std::string& FileName() const { return fileName_; }
    void FileName(const std::string& value) { fileName_ = value; }
    const std::string& Section() const { return section_; }
    void Section(const std::string& value) { section_ = value; }

private:
    // Completes the three names from the properties; false, with nothing
    // changed, when one of them is empty on both sides.
    bool ResolveNames(std::string& Setting, std::string& Section, std::string& FileName);

    Hooks hooks_;
    std::string section_;
    std::string fileName_;
    std::string setting_;
    Variant defaultValue_;
};

} // namespace tarnwick
