#include "services/INI.h"
#include "os/Profile.h"

#include <string>

namespace tarnwick {

INI::INI() : INI(Hooks{}) {}

INI::INI(Hooks hooks) : hooks_(std::move(hooks))
{
    if (!hooks_.GetPrivateProfileString)
        hooks_.GetPrivateProfileString = [](const std::string& s, const std::string& k, const std::string& d,
                                            char* b, std::uint32_t n, const std::string& f) {
            return os::GetPrivateProfileString(s, k, d, b, n, f);
        };
    if (!hooks_.WritePrivateProfileString)
        hooks_.WritePrivateProfileString = [](const std::string& s, const std::string& k, const std::string& v,
                                              const std::string& f) {
            return os::WritePrivateProfileString(s, k, v, f);
        };
    if (!hooks_.WritePrivateProfileStrings)
        hooks_.WritePrivateProfileStrings = [](const std::string& s,
                                               const std::vector<std::pair<std::string, std::string>>& v,
                                               const std::string& f) { return os::WritePrivateProfileStrings(s, v, f); };
}

bool INI::ResolveNames(std::string& Setting, std::string& Section, std::string& FileName)
{
    if (Setting.empty() && setting_.empty())
        return false;
    if (section_.empty() && Section.empty())
        return false;
    if (FileName.empty() && fileName_.empty())
        return false;
    if (Setting.empty())
        Setting = setting_;
    else
        setting_ = Setting;
    if (!Section.empty())
        section_ = Section;
    else
        Section = section_;
    if (!FileName.empty())
        fileName_ = FileName;
    else
        FileName = fileName_;
    return true;
}

void INI::SaveSetting(const Variant& ValueToSave, const std::string& Setting, const std::string& Section,
                      const std::string& FileName)
{
    std::string setting = Setting, section = Section, file = FileName;
    if (!ResolveNames(setting, section, file))
        return;
    // The result is not looked at: a failed write is not reported.
    (void)hooks_.WritePrivateProfileString(section, setting, ToText(ValueToSave), file);
}

bool INI::SaveSettings(const std::vector<std::pair<std::string, Variant>>& values, const std::string& Section,
                       const std::string& FileName)
{
    if ((Section.empty() && section_.empty()) || (FileName.empty() && fileName_.empty()))
        return false;
    if (!Section.empty())
        section_ = Section;
    if (!FileName.empty())
        fileName_ = FileName;
    std::vector<std::pair<std::string, std::string>> texts;
    texts.reserve(values.size());
    for (const auto& [setting, value] : values)
        texts.emplace_back(setting, ToText(value));
    return hooks_.WritePrivateProfileStrings(section_, texts, fileName_);
}

Variant INI::GetSetting(const std::string& Setting, const std::optional<Variant>& DefaultValue,
                        const std::string& Section, const std::string& FileName)
{
    std::string setting = Setting, section = Section, file = FileName;
    if (!ResolveNames(setting, section, file))
        return defaultValue_;
    std::string buffer(kBufferSize, ' ');
    const std::string defaultText = ToText(DefaultValue ? *DefaultValue : defaultValue_);
    std::uint32_t n =
        hooks_.GetPrivateProfileString(section, setting, defaultText, buffer.data(), kBufferSize, file);
    if (n > kBufferSize)
        n = kBufferSize;
    return Variant(buffer.substr(0, n));
}

} // namespace tarnwick
