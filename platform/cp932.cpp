#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace vandrel {
namespace {

// One iconv descriptor per direction and thread (iconv_t is not thread-safe).
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole text; on an unconvertible or broken sequence either
  // gives up (replacement empty) or writes the replacement and skips `skip`
  // bytes of input.
  std::optional<std::string> Run(std::string_view in, std::string_view replacement,
                                 bool skipLeadPair) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    std::vector<char> buf(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
      char* dst = buf.data();
      size_t dstLeft = buf.size();
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf.data(), dst - buf.data());
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (replacement.empty()) return std::nullopt;
      out.append(replacement);
      size_t skip = 1;
      if (skipLeadPair && srcLeft >= 2 && IsLeadByte(static_cast<unsigned char>(*src)) &&
          static_cast<unsigned char>(src[1]) >= 0x40)
        skip = 2;
      if (!skipLeadPair) {
        // Skip one whole UTF-8 sequence; of a broken one, the lead byte only.
        unsigned char c = static_cast<unsigned char>(*src);
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        skip = 1;
        while (skip < length && skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
          ++skip;
        if (skip < length) skip = 1;
      }
      src += skip;
      srcLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& ToCp932Converter() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}
Converter& ToUtf8Converter() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return ToCp932Converter().Run(utf8, "?", false).value_or(std::string());
}

std::string ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  return ToUtf8Converter().Run(cp932, "\xEF\xBF\xBD", true).value_or(std::string());
}

std::optional<std::string> TryToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return ToCp932Converter().Run(utf8, "", false);
}

std::optional<std::string> TryToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  return ToUtf8Converter().Run(cp932, "", true);
}

size_t MbFind(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  // Walk character starts from the beginning so that `from` never lands on a
  // trail byte.
  size_t pos = 0;
  while (pos < from && pos < hay.size()) pos = MbNextChar(hay, pos);
  // The byte search finds the candidates; the walk over the character starts
  // tells those inside a double-byte character.
  for (size_t start = pos;;) {
    const size_t hit = hay.find(needle, start);
    if (hit == std::string_view::npos) return hit;
    while (pos < hit) pos = MbNextChar(hay, pos);
    if (pos == hit) return hit;
    start = pos;
  }
}

size_t MbReverseFind(std::string_view s, char c) {
  size_t found = std::string_view::npos;
  for (size_t pos = 0; pos < s.size(); pos = MbNextChar(s, pos)) {
    if (s[pos] == c && MbNextChar(s, pos) == pos + 1) found = pos;
  }
  return found;
}

std::string MbUpper(std::string_view s) {
  std::string out(s);
  for (size_t pos = 0; pos < out.size();) {
    size_t next = MbNextChar(out, pos);
    if (next == pos + 1 && out[pos] >= 'a' && out[pos] <= 'z') out[pos] = char(out[pos] - 32);
    pos = next;
  }
  return out;
}

int MbCompareNoCase(std::string_view a, std::string_view b) {
  std::string ua = MbUpper(a), ub = MbUpper(b);
  int r = ua.compare(ub);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

std::string MbReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  // One walk over the character starts.
  std::string out;
  size_t copied = 0;
  for (size_t pos = 0; pos + from.size() <= s.size();) {
    if (s.compare(pos, from.size(), from) == 0) {
      out.append(s.substr(copied, pos - copied));
      out.append(to);
      pos += from.size();
      copied = pos;
    } else {
      pos = MbNextChar(s, pos);
    }
  }
  out.append(s.substr(copied));
  return out;
}

std::string MbRemoveAll(std::string_view s, std::string_view piece) { return MbReplaceAll(s, piece, ""); }

bool MbEndsWithChar(std::string_view s, char c) {
  size_t last = std::string_view::npos;
  for (size_t pos = 0; pos < s.size(); pos = MbNextChar(s, pos)) last = pos;
  return last != std::string_view::npos && last + 1 == s.size() && s[last] == c;
}

}  // namespace vandrel
