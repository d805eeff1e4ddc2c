#pragma once
// How a path is spelled. The Windows style is the program's home: backslash
// separators, drive roots like C:\ and a case-insensitive file system. The
// POSIX style is its translation: "/" separates, "/" is the one drive root,
// and case matters, so paths are never lower-cased for display.
#include <string>
#include <string_view>

// The case helpers were declared here once; the window layer still finds
// them through this header.
#include "os/TextCase.h"

namespace tarnwick {

enum class PathStyle { Windows, Posix };

// The style of the file system this build runs on.
PathStyle NativePathStyle();

char Separator(PathStyle style);

// `name` inside `folder`: the folder, one separator, the name. A folder that
// ends in a separator already (a root such as "C:\" or "/") gets no second;
// in the Windows style a "/" counts, as Windows reads it as one too. An empty
// folder gives the name alone: a caller that means a root passes the root.
std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style);

// A path as a message shows it: lower case where the file system ignores
// case, unchanged where lower-casing would name another file.
std::string ShownPath(std::string_view path, PathStyle style);

// Names inside a volume separate folders with backslashes on every platform;
// this turns such a name into the path style's separators, and, in the POSIX
// style, its Windows-1252 bytes into UTF-8 text.
std::string StoredNameToPath(std::string_view storedName, PathStyle style);

// A stored name as a message shows it: the code page's bytes where the
// system's own text is that code page, UTF-8 text in the POSIX style.
std::string NameAsText(std::string_view storedName, PathStyle style);

} // namespace tarnwick
