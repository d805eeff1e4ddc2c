// The association members of cRegistry: a document class for a file
// extension, with its verbs and icon, under HKEY_CLASSES_ROOT.
#include "services/cRegistry.h"

namespace tarnwick {

namespace {

std::string QuotedProgram(const std::string& sExePath)
{
    const std::size_t b = sExePath.find_first_not_of(' ');
    std::string x = b == std::string::npos ? std::string() : sExePath.substr(b, sExePath.find_last_not_of(' ') - b + 1);
    if (x.empty() || x.front() != '"')
        x.insert(x.begin(), '"');
    if (x.size() < 2 || x.back() != '"')
        x.push_back('"');
    return x;
}

} // namespace

void cRegistry::CreateEXEAssociation(const std::string& sExePath, const std::string& sClassName,
                                     const std::string& sClassDescription, const std::string& sAssociation,
                                     const std::string& sOpenMenuText, bool bSupportPrint,
                                     const std::string& sPrintMenuText, bool bSupportNew, const std::string& sNewMenuText,
                                     bool bSupportInstall, const std::string& sInstallMenuText,
                                     std::int32_t lDefaultIconIndex)
{
    const std::string x = QuotedProgram(sExePath);
    auto write = [this](const std::string& section, const std::string& text) {
        SectionKey(section);
        ValueKey("");
        Value(MakeVariant(text));
    };
    ClassKey(HKEY_CLASSES_ROOT);
    ValueType(REG_SZ);
    write("." + sAssociation, sClassName);
    write(sClassName, sClassDescription);
    auto verb = [&](const char* name, const std::string& text, const std::string& fallback, const char* option) {
        write(sClassName + "\\shell\\" + name, text.empty() ? fallback : text);
        write(sClassName + "\\shell\\" + name + "\\command", x + option + " \"%1\"");
    };
    verb("open", sOpenMenuText, "&Open", "");
    if (bSupportPrint)
        verb("print", sPrintMenuText, "&Print", " /p");
    if (bSupportInstall)
        verb("add", sInstallMenuText, "&Install " + sAssociation, " /a");
    if (bSupportNew)
        verb("new", sNewMenuText, "&New", " /n");
    if (lDefaultIconIndex > -1)
        write(sClassName + "\\DefaultIcon", x + "," + std::to_string(lDefaultIconIndex));
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& sClassName, const std::vector<Variant>& vItems)
{
    if (vItems.size() % 3 != 0)
        Raise(kErrorParameters, "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected "
                                "Name/Text/Command");
    SectionKey(sClassName);
    if (!KeyExists())
        Raise(kErrorNoClass, "Error - attempt to create additional associations before class defined.");
    for (std::size_t i = 0; i + 2 < vItems.size(); i += 3) {
        // A write that fails is passed over; the next verb still goes in.
        try {
            ValueType(REG_SZ);
            SectionKey(sClassName + "\\shell\\" + ToText(vItems[i]));
            ValueKey("");
            Value(vItems[i + 1]);
        } catch (const RegistryError&) {
        }
        try {
            SectionKey(sClassName + "\\shell\\" + ToText(vItems[i]) + "\\command");
            ValueKey("");
            Value(vItems[i + 2]);
        } catch (const RegistryError&) {
        }
    }
}

} // namespace tarnwick
