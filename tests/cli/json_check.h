#pragma once
// A strict little JSON reader for the tests. It flattens a valid JSON text into its scalars by
// path ("semesters.0.gpa" -> "3.5", strings unescaped) and refuses anything else.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mw::test {

class FlatJson {
 public:
  static std::optional<std::map<std::string, std::string>> Parse(std::string_view s) {
    FlatJson r{s};
    if (!r.Value("") || (r.Space(), r.i_ != s.size())) return std::nullopt;
    return r.out_;
  }

 private:
  std::string_view s_;
  size_t i_ = 0;
  std::map<std::string, std::string> out_;

  explicit FlatJson(std::string_view s) : s_(s) {}
  char Peek() { return Space(), i_ < s_.size() ? s_[i_] : '\0'; }
  bool Eat(char c) { return Peek() == c ? (++i_, true) : false; }
  void Space() { while (i_ < s_.size() && std::string_view(" \t\r\n").find(s_[i_]) != std::string_view::npos) ++i_; }
  size_t Digits() { size_t n = 0; while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') ++i_, ++n; return n; }
  bool Str(std::string& out) {
    if (!Eat('"')) return false;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') { out += c; continue; }
      const size_t p = i_ < s_.size() ? std::string_view("\"\\/bfnrt").find(s_[i_++]) : std::string_view::npos;
      if (p != std::string_view::npos) { out += "\"\\/\b\f\n\r\t"[p]; continue; }
      if (s_[i_ - 1] != 'u' || i_ + 4 > s_.size()) return false;
      char* end = nullptr;
      const std::string hex(s_.substr(i_, 4));
      const unsigned long cp = std::strtoul(hex.c_str(), &end, 16);
      if (end != hex.c_str() + 4 || cp > 0x7FF) return false;  // the program escapes no more
      i_ += 4;
      if (cp < 0x80) out += static_cast<char>(cp);
      else out += {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
    }
    return false;
  }
  bool Value(const std::string& path) {
    const char c = Peek();
    const std::string prefix = path.empty() ? "" : path + ".";
    if (c == '"') return Str(out_[path]);
    for (const char* word : {"null", "true", "false"})
      if (s_.substr(i_).rfind(word, 0) == 0) return out_[path] = word, i_ += out_[path].size(), true;
    if (c == '[' || c == '{') {
      ++i_;
      if (Eat(c == '[' ? ']' : '}')) return true;
      for (int n = 0;; ++n) {
        std::string key = std::to_string(n);
        if (c == '{' && (key.clear(), !Str(key) || !Eat(':'))) return false;
        if (!Value(prefix + key)) return false;
        if (!Eat(',')) return Eat(c == '[' ? ']' : '}');
      }
    }
    const size_t start = i_;
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    if (i_ < s_.size() && s_[i_] == '0') ++i_;
    else if (!Digits()) return false;
    if (i_ < s_.size() && s_[i_] == '.' && (++i_, !Digits())) return false;
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      if (++i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!Digits()) return false;
    }
    out_[path] = s_.substr(start, i_ - start);
    return true;
  }
};

}  // namespace mw::test
