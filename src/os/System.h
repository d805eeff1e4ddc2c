#pragma once
// The program itself and the few system services the windows use.
#include <string>

namespace tarnwick::os {

// Full path of the running executable.
std::string ProgramPath();
// Its folder, without a trailing separator except for a root.
std::string ProgramFolder();
// The extractor's file name on this platform: extract.exe or extract.
std::string ExtractorFileName();
// Where the program looks for its extractor when the settings name none that
// exists: beside the program when one is there (a portable copy, a build
// folder); else, for a program installed as PREFIX/bin/tarnwick, at
// PREFIX/libexec/tarnwick/extract, where no other package's `extract` is;
// else the path beside the program, for the message that it is missing.
// Windows keeps it beside the program only.
std::string DefaultExtractorPath(const std::string& programFolder = ProgramFolder());

// Whether a folder is one of the system's own, where installed software
// lives: /usr, /bin, /sbin, /lib, /lib64, /libexec, /opt, /snap or /app
// (Flatpak), or a folder below one. Only the absolute path as spelled is
// looked at. Windows: never.
bool IsSystemFolder(const std::string& folder);
// Whether the program in `programFolder` is an installed copy rather than
// one run from its build folder or unpacked with its extractor beside it:
// its folder is a system folder (whoever runs it: root could write
// /usr/bin), or its extractor is where an install puts it (no `extract`
// beside it, PREFIX/libexec/tarnwick/extract there), or the folder cannot
// be written. An installed copy keeps its settings and its work in the
// user's folders. Windows keeps the classic program's rule: never.
bool IsInstalledCopy(const std::string& programFolder);

// Whether standard output is a terminal a person reads (Windows: a console).
bool StandardOutputIsTerminal();

// Called first thing in each program's main: later loads of libraries by
// name (by the program or by a system library loading a helper late) search
// the system folder only, never the program's own folder, where a volume's
// files may have been extracted. POSIX programs search no such folder.
void RestrictLibrarySearch();

// The default system beep.
void Beep();

// The user's home folder (POSIX: $HOME; Windows: the user's profile
// folder); only a folder that exists. Empty where there is none.
std::string UserHomeFolder();
// A per-user configuration folder for programs installed where they may not
// write (POSIX: $XDG_CONFIG_HOME or ~/.config). Empty where there is none.
std::string UserConfigFolder();
// A per-user folder for data that may be thrown away and made again (POSIX:
// $XDG_CACHE_HOME or ~/.cache; Windows: the local application data).
// Empty where there is none.
std::string UserCacheFolder();
// Whether a file can be created in the folder.
bool FolderIsWritable(const std::string& folder);
// A folder of the user's own that extracted files can go to when the
// program's folder is no place for them (an installed program): POSIX
// $XDG_DOWNLOAD_DIR, else the download folder named in user-dirs.dirs, else
// $HOME; only a folder that exists. Empty where there is none.
std::string UserDownloadFolder();

} // namespace tarnwick::os
