#include "services/AssociateCommand.h"

#include "os/PathStyle.h"
#include "services/cRegistry.h"
#include "os/DesktopAssociation.h"
#include "os/Registry.h"

namespace tarnwick {

std::string AssociateVolumes(const std::string& programFolder, const std::string& programName,
                             const std::string& iconPng)
{
    const std::string program = JoinPath(programFolder, programName, NativePathStyle());
    const std::string failed = "Tarnwick could not be associated with volume (*.vol) files: ";
    try {
        cRegistry reg;
        reg.CreateEXEAssociation(program, "Cairnix Suite", "Volume", "vol");
        reg.ClassKey(cRegistry::HKEY_CLASSES_ROOT);
        reg.ValueType(cRegistry::REG_SZ);
        reg.SectionKey("Cairnix Suite\\DefaultIcon");
        reg.ValueKey("");
        reg.Value(MakeVariant(JoinPath(programFolder, "tarnwickd.ico", NativePathStyle())));
        reg.CreateKey();
    } catch (const RegistryError& e) {
        std::string message = failed + e.Description() + " (error " + std::to_string(e.Number()) + ").";
        const std::string why = os::RegistryStoreProblem();
        if (!why.empty())
            message += "  The registry store " + why + ".";
        return message;
    }
    const std::string desktop = os::RegisterDesktopVolumeHandler(program, iconPng);
    if (!desktop.empty())
        return failed + desktop + ".";
    return {};
}

} // namespace tarnwick
