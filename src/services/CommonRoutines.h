#pragma once
// Path routines shared by start-up and the extraction job, and the standard
// error box. In the Windows style a backslash separates and "C:\" is a drive
// root; in the POSIX style "/" separates and "/" is the only root.
#include "services/OsServices.h"
#include "os/PathStyle.h"

#include <string>

namespace tarnwick {

// The folder part of a path. Windows style: "C:\a" for "C:\a\b.vol", "C:\"
// for "C:\b.vol", "" for "\b.vol"; a path without a separator comes back
// unchanged. POSIX style: "/" for "/b.vol".
std::string GetParentFolder(const std::string& sPath, PathStyle style = NativePathStyle());

// Everything after the last separator; the whole path when it has none.
std::string GetFileTitle(const std::string& sPath, PathStyle style = NativePathStyle());

// The long (canonical) form of an existing path, "" for an empty or missing
// one. The empty path never reaches the system.
std::string GetLongFileName(const std::string& sPath);

// Creates every missing folder along a rooted path. Does nothing when
// something already stands at the path, for a drive root, and for a path
// that is not rooted at a drive (Windows: relative or network paths; POSIX:
// relative paths). Never throws and never stops the program: the result is
// the first folder that could not be created, "" when none failed. Asks
// the services PlainExists and CreateFolder; tests act out Windows drives
// with their own.
std::string CreateFolderPath(const std::string& sPath, PathStyle style = NativePathStyle());
std::string CreateFolderPath(const std::string& sPath, PathStyle style, const OsServices& services);

// Beeps and shows sMessage in a box with an OK button and the critical icon,
// titled with the program's title.
void ShowError(const std::string& sMessage);

} // namespace tarnwick
