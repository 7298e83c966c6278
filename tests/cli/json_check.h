#pragma once
// A strict little JSON reader for the tests: what it accepts is valid JSON (RFC 8259).
#include <cctype>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw::test {

struct Json {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json& operator[](std::string_view key) const {
    for (const auto& [k, v] : members)
      if (k == key) return v;
    throw std::out_of_range("no key " + std::string(key));
  }
  const Json& operator[](size_t i) const { return items.at(i); }
};

class JsonReader {
 public:
  // The value of the whole text, or empty when it is not one valid JSON text.
  static std::optional<Json> Parse(std::string_view s) {
    JsonReader r(s);
    Json v;
    if (!r.Value(v)) return std::nullopt;
    r.Space();
    if (r.i_ != s.size()) return std::nullopt;
    return v;
  }

 private:
  explicit JsonReader(std::string_view s) : s_(s) {}
  std::string_view s_;
  size_t i_ = 0;

  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
  }
  bool Eat(char c) {
    Space();
    if (i_ < s_.size() && s_[i_] == c) return ++i_, true;
    return false;
  }
  bool Word(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  bool Digits() {
    const size_t start = i_;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    return i_ > start;
  }
  bool Str(std::string& out) {
    if (!Eat('"')) return false;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') { out += c; continue; }
      if (i_ >= s_.size()) return false;
      const char e = s_[i_++];
      const std::string_view plain = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
      if (const size_t p = plain.find(e); p != std::string_view::npos) { out += meant[p]; continue; }
      if (e != 'u' || i_ + 4 > s_.size()) return false;
      const std::string hex(s_.substr(i_, 4));
      char* end = nullptr;
      const unsigned long cp = std::strtoul(hex.c_str(), &end, 16);
      if (end != hex.c_str() + 4 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
      i_ += 4;
      if (cp < 0x80) out += static_cast<char>(cp);
      else if (cp < 0x800) out += {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
      else out += {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (cp & 0x3F))};
    }
    return false;
  }
  bool Value(Json& v) {
    Space();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '"') return v.kind = Json::String, Str(v.text);
    if (Word("null")) return true;
    if (Word("true")) return v.kind = Json::Bool, v.boolean = true, true;
    if (Word("false")) return v.kind = Json::Bool, true;
    if (c == '[') {
      ++i_;
      v.kind = Json::Array;
      if (Eat(']')) return true;
      do { v.items.emplace_back(); if (!Value(v.items.back())) return false; } while (Eat(','));
      return Eat(']');
    }
    if (c == '{') {
      ++i_;
      v.kind = Json::Object;
      if (Eat('}')) return true;
      do {
        v.members.emplace_back();
        if (!Str(v.members.back().first) || !Eat(':') || !Value(v.members.back().second)) return false;
      } while (Eat(','));
      return Eat('}');
    }
    const size_t start = i_;
    if (s_[i_] == '-') ++i_;
    if (i_ < s_.size() && s_[i_] == '0') ++i_;
    else if (!Digits()) return false;
    if (i_ < s_.size() && s_[i_] == '.' && (++i_, !Digits())) return false;
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!Digits()) return false;
    }
    v.kind = Json::Number;
    v.number = std::strtod(std::string(s_.substr(start, i_ - start)).c_str(), nullptr);
    return true;
  }
};

}  // namespace mw::test
