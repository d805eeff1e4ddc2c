#include "services/OsServices.h"

#include "os/Files.h"
#include "os/Process.h"
#include "os/System.h"

namespace tarnwick {

OsServices SystemServices()
{
    OsServices s;
    s.IsPlainFile = [](const std::string& p) { return os::IsPlainFile(p); };
    s.IsPlainFolder = [](const std::string& p) { return os::IsPlainFolder(p); };
    s.PlainExists = [](const std::string& p) { return os::PlainExists(p); };
    s.IsSpecialFile = [](const std::string& p) { return os::IsSpecialFile(p); };
    s.CreateFolder = [](const std::string& p) { return os::CreateFolder(p); };
    s.DeleteFile = [](const std::string& p) { return os::DeleteFile(p); };
    s.RenameFile = [](const std::string& a, const std::string& b) { return os::RenameFile(a, b); };
    s.StartProcessHidden = [](const std::string& c, bool catchErrors) {
        return os::StartProcessHidden(c, catchErrors);
    };
    s.WaitForProcess = [](std::int64_t id, std::string* errors) { return os::WaitForProcess(id, errors); };
    s.ProgramFolder = [] { return os::ProgramFolder(); };
    s.DefaultExtractorPath = [](const std::string& folder) { return os::DefaultExtractorPath(folder); };
    s.RealPath = [](const std::string& p) { return os::RealPath(p); };
    return s;
}

OsServices OsServices::Completed() const
{
    OsServices out = *this;
    const OsServices system = SystemServices();
    const auto fill = [](auto& service, const auto& own) {
        if (!service)
            service = own;
    };
    fill(out.IsPlainFile, system.IsPlainFile);
    fill(out.IsPlainFolder, system.IsPlainFolder);
    fill(out.PlainExists, system.PlainExists);
    fill(out.IsSpecialFile, system.IsSpecialFile);
    fill(out.CreateFolder, system.CreateFolder);
    fill(out.DeleteFile, system.DeleteFile);
    fill(out.RenameFile, system.RenameFile);
    fill(out.StartProcessHidden, system.StartProcessHidden);
    fill(out.WaitForProcess, system.WaitForProcess);
    fill(out.ProgramFolder, system.ProgramFolder);
    fill(out.DefaultExtractorPath, system.DefaultExtractorPath);
    fill(out.RealPath, system.RealPath);
    return out;
}

} // namespace tarnwick
