#include "platform/os_path.h"

#include "platform/cp932.h"

namespace vandrel {

std::string OsPath(std::string_view path) {
  std::string p(path);
  for (size_t pos = 0; pos < p.size(); pos = MbNextChar(p, pos)) {
    if (p[pos] == '\\' && MbNextChar(p, pos) == pos + 1) p[pos] = '/';
  }
  if (auto utf8 = TryToUtf8(p)) return *utf8;
  return p;
}

std::filesystem::path FsPath(std::string_view path) { return std::filesystem::path(OsPath(path)); }

std::string FromOsName(std::string_view name) {
  if (auto cp = TryToCp932(name)) return *cp;
  return std::string(name);
}

std::optional<std::string> ReachableCp932Name(std::string_view osName) {
  bool plain = true;
  for (char c : osName) plain = plain && c > 0x1F && c < 0x7F && c != '\\';
  if (plain) return std::string(osName);
  std::optional<std::string> cp = TryToCp932(osName);
  if (!cp || OsPath(*cp) != osName) return std::nullopt;
  return cp;
}

bool FitsOsNameLength(std::string_view name) {
  constexpr size_t kNameMax = 255;
  return OsPath(name).size() <= kNameMax;
}

bool IsSeparatorAt(std::string_view s, size_t pos) {
  return (s[pos] == '/' || s[pos] == '\\') && MbNextChar(s, pos) == pos + 1;
}

std::string StripTrailingSeparators(std::string_view path) {
  // Character-wise: a final 0x5C that is a trail byte is part of its character.
  size_t keep = 0;
  size_t lastNonSep = 0;
  bool any = false;
  for (size_t pos = 0; pos < path.size(); pos = MbNextChar(path, pos)) {
    if (!IsSeparatorAt(path, pos)) {
      lastNonSep = MbNextChar(path, pos);
      any = true;
    }
  }
  keep = any ? lastNonSep : (path.empty() ? 0 : 1);
  return std::string(path.substr(0, keep));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty()) {
    bool endsSep = false;
    for (size_t pos = 0; pos < out.size(); pos = MbNextChar(out, pos)) endsSep = IsSeparatorAt(out, pos);
    if (!endsSep) out += '/';
  }
  out.append(name);
  return out;
}

std::string LastComponent(std::string_view path) {
  std::string p = StripTrailingSeparators(path);
  size_t start = 0;
  for (size_t pos = 0; pos < p.size(); pos = MbNextChar(p, pos)) {
    if (IsSeparatorAt(p, pos)) start = pos + 1;
  }
  return p.substr(start);
}

}  // namespace vandrel
