#pragma once
// Making Tarnwick the desktop's handler of volume files for the current
// user. On Windows the registry entries are the association and this does
// nothing. On POSIX it is the freedesktop way: a shared-MIME-info type for
// volumes (glob *.vol, magic "PVOL" at offset 0), a .desktop entry that
// opens a file with the program, both databases refreshed when their tools
// are there, and the entry made the type's default application.
#include <string>

namespace tarnwick::os {

inline constexpr const char* kVolumeMimeType = "application/x-starsiege-tribes-volume";
// The installed package's desktop id and icon name: an entry of the user's
// own under the same id stands in for the package's instead of adding a
// second menu entry.
inline constexpr const char* kDesktopId = "io.github.tarnwick.Tarnwick";
inline constexpr const char* kDesktopEntryName = "io.github.tarnwick.Tarnwick.desktop";

// "" when all of it was written; otherwise what could not be, for a message.
// iconPng: the program's icon as a PNG file's bytes, for the entry and the
// type; none when empty.
std::string RegisterDesktopVolumeHandler(const std::string& programPath, const std::string& iconPng = {});

} // namespace tarnwick::os
