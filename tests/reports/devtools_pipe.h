// A headless Chromium driven over its DevTools pipe (file descriptors 3 and
// 4, messages ended by NUL), with the little JSON that the tests need.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vandrel::test {

// A parsed JSON value; numbers are kept as doubles.
struct Json {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  const Json& operator[](const std::string& key) const {
    static const Json none;
    auto it = members.find(key);
    return it == members.end() ? none : it->second;
  }
  bool Has(const std::string& key) const { return members.count(key) != 0; }

  static std::optional<Json> Parse(const std::string& s) {
    size_t at = 0;
    Json v;
    if (!ParseValue(s, at, v)) return std::nullopt;
    return v;
  }

 private:
  static void Blank(const std::string& s, size_t& at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t')) ++at;
  }
  static void Utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  static bool ParseString(const std::string& s, size_t& at, std::string& out) {
    if (s[at++] != '"') return false;
    while (at < s.size() && s[at] != '"') {
      char c = s[at++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at >= s.size()) return false;
      char e = s[at++];
      switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          if (at + 4 > s.size()) return false;
          unsigned cp = std::stoul(s.substr(at, 4), nullptr, 16);
          at += 4;
          if (cp >= 0xD800 && cp < 0xDC00 && s.compare(at, 2, "\\u") == 0) {
            unsigned low = std::stoul(s.substr(at + 2, 4), nullptr, 16);
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            at += 6;
          }
          Utf8(out, cp);
          break;
        }
        default: out += e;
      }
    }
    return at++ < s.size();
  }
  static bool ParseValue(const std::string& s, size_t& at, Json& v) {
    Blank(s, at);
    if (at >= s.size()) return false;
    char c = s[at];
    if (c == '"') {
      v.kind = String;
      return ParseString(s, at, v.text);
    }
    if (c == '{' || c == '[') {
      v.kind = c == '{' ? Object : Array;
      ++at;
      Blank(s, at);
      if (at < s.size() && s[at] == (c == '{' ? '}' : ']')) return ++at, true;
      for (;;) {
        Blank(s, at);
        std::string key;
        if (c == '{') {
          if (at >= s.size() || !ParseString(s, at, key)) return false;
          Blank(s, at);
          if (at >= s.size() || s[at++] != ':') return false;
        }
        Json item;
        if (!ParseValue(s, at, item)) return false;
        if (c == '{')
          v.members[key] = std::move(item);
        else
          v.items.push_back(std::move(item));
        Blank(s, at);
        if (at >= s.size()) return false;
        if (s[at] == ',') {
          ++at;
          continue;
        }
        return s[at++] == (c == '{' ? '}' : ']');
      }
    }
    for (const char* word : {"true", "false", "null"}) {
      if (s.compare(at, std::string(word).size(), word) == 0) {
        v.kind = word[0] == 'n' ? Null : Bool;
        v.boolean = word[0] == 't';
        at += std::string(word).size();
        return true;
      }
    }
    size_t end = s.find_first_of(",}] \r\n\t", at);
    v.kind = Number;
    v.number = std::strtod(s.substr(at, end - at).c_str(), nullptr);
    at = end == std::string::npos ? s.size() : end;
    return true;
  }
};

// A JSON string literal.
inline std::string Quote(const std::string& s) {
  std::string q = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') q += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      q += buf;
      continue;
    }
    q += c;
  }
  return q + "\"";
}

// The path of a program found on PATH, or "".
inline std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  for (size_t at = 0; at <= dirs.size();) {
    size_t end = dirs.find(':', at);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(at, end - at) + "/" + name;
    if (end > at && access(candidate.c_str(), X_OK) == 0) return candidate;
    at = end + 1;
  }
  return "";
}

class HeadlessChromium {
 public:
  // Starts the browser in a process group of its own; `profile` is a fresh folder.
  HeadlessChromium(const std::string& program, const std::string& profile) {
    int toBrowser[2], fromBrowser[2];
    if (pipe(toBrowser) != 0 || pipe(fromBrowser) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      setpgid(0, 0);
      dup2(toBrowser[0], 3);
      dup2(fromBrowser[1], 4);
      int null = open("/dev/null", O_RDWR);
      dup2(null, 1);
      dup2(null, 2);
      for (int fd = 5; fd < 256; ++fd) close(fd);
      std::string dataDir = "--user-data-dir=" + profile;
      execl(program.c_str(), program.c_str(), "--headless", "--no-sandbox", "--disable-gpu",
            "--disable-quic", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", dataDir.c_str(),
            "--remote-debugging-pipe", "about:blank", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toBrowser[0]);
    close(fromBrowser[1]);
    write_ = toBrowser[1];
    read_ = fromBrowser[0];
  }
  ~HeadlessChromium() {
    if (write_ >= 0) close(write_);
    if (read_ >= 0) close(read_);
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Sends a command and waits for its answer; events that come meanwhile are kept.
  std::optional<Json> Call(const std::string& method, const std::string& params = "{}",
                           const std::string& session = "") {
    int id = ++lastId_;
    std::string m = "{\"id\":" + std::to_string(id) + ",\"method\":" + Quote(method) +
                    ",\"params\":" + params;
    if (!session.empty()) m += ",\"sessionId\":" + Quote(session);
    m += "}";
    m += '\0';
    if (::write(write_, m.data(), m.size()) != static_cast<ssize_t>(m.size())) return std::nullopt;
    for (;;) {
      std::optional<Json> msg = Next();
      if (!msg) return std::nullopt;
      if ((*msg)["id"].kind == Json::Number && static_cast<int>((*msg)["id"].number) == id) {
        if (msg->Has("error")) return std::nullopt;
        return (*msg)["result"];
      }
      events_.push_back(std::move(*msg));
    }
  }
  // Waits for an event of that method.
  bool WaitForEvent(const std::string& method) {
    for (;;) {
      for (auto it = events_.begin(); it != events_.end(); ++it) {
        if ((*it)["method"].text == method) {
          events_.erase(it);
          return true;
        }
      }
      std::optional<Json> msg = Next();
      if (!msg) return false;
      events_.push_back(std::move(*msg));
    }
  }

 private:
  std::optional<Json> Next() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
      size_t end = buffer_.find('\0');
      if (end != std::string::npos) {
        std::string text = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        return Json::Parse(text);
      }
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline - std::chrono::steady_clock::now())
                                      .count());
      pollfd p{read_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) return std::nullopt;
      char chunk[65536];
      ssize_t n = ::read(read_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, n);
    }
  }

  pid_t pid_ = -1;
  int write_ = -1, read_ = -1;
  int lastId_ = 0;
  std::string buffer_;
  std::vector<Json> events_;
};

}  // namespace vandrel::test
