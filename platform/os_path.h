// The edge between the CP932 paths used inside and the names of the OS.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vandrel {

// CP932 path -> OS path: UTF-8, every "\" separator (never a trail byte)
// written as "/". A path that does not convert is handed over as it is.
std::string OsPath(std::string_view path);
std::filesystem::path FsPath(std::string_view path);
// OS name (UTF-8) -> CP932; a name that does not convert stays as it is.
std::string FromOsName(std::string_view name);
// The CP932 form of an OS name (one path component) when it reaches the same
// name again through OsPath; nothing for a name that does not convert
// exactly, or that holds a "\" (a separator on the way back).
std::optional<std::string> ReachableCp932Name(std::string_view osName);

// True when the OS takes a file name (one path component) this long: at most
// 255 bytes once converted.
bool FitsOsNameLength(std::string_view name);

// True when a separator stands at pos: "/", or a "\" that is no trail byte.
bool IsSeparatorAt(std::string_view path, size_t pos);
// Joins folder and name with one "/" (none added when the folder ends with one).
std::string JoinPath(std::string_view folder, std::string_view name);
// The path without trailing "/" or "\" separators ("/" itself stays).
std::string StripTrailingSeparators(std::string_view path);
// Last component of a path (after the last separator, trailing ones ignored).
std::string LastComponent(std::string_view path);

}  // namespace vandrel
