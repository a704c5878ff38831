// A small JSON reader for checking the exported glTF: values as a tree,
// numbers as double. Throws std::runtime_error on malformed input.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace exporttest {

struct Json {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  bool Has(const std::string& key) const { return members.count(key) != 0; }
  const Json& operator[](const std::string& key) const {
    auto it = members.find(key);
    if (it == members.end()) throw std::runtime_error("no member '" + key + "'");
    return it->second;
  }
  const Json& operator[](std::size_t i) const { return items.at(i); }
  std::size_t Size() const { return kind == Kind::Array ? items.size() : members.size(); }
  std::size_t Index() const {
    if (kind != Kind::Number || number < 0 || number != static_cast<double>(static_cast<std::size_t>(number))) {
      throw std::runtime_error("not an index");
    }
    return static_cast<std::size_t>(number);
  }
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& s) : s_(s) {}
  Json Read() {
    Json v = Value();
    Space();
    if (p_ != s_.size()) Fail("trailing characters");
    return v;
  }

 private:
  [[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string(what) + " at " + std::to_string(p_)); }
  void Space() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t')) ++p_;
  }
  bool Eat(char c) {
    Space();
    if (p_ < s_.size() && s_[p_] == c) {
      ++p_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Eat(c)) Fail("unexpected character");
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (p_ < s_.size() && s_[p_] != '"') {
      char c = s_[p_++];
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in string");
      if (c == '\\') {
        if (p_ >= s_.size()) Fail("bad escape");
        c = s_[p_++];
        if (c == 'n') c = '\n';
        else if (c == 't') c = '\t';
        else if (c == 'u') Fail("\\u escapes not expected");
        else if (c != '"' && c != '\\' && c != '/') Fail("bad escape");
      }
      out += c;
    }
    Expect('"');
    return out;
  }
  Json Value() {
    Space();
    if (p_ >= s_.size()) Fail("unexpected end");
    Json v;
    const char c = s_[p_];
    if (c == '{') {
      ++p_;
      v.kind = Json::Kind::Object;
      if (Eat('}')) return v;
      do {
        std::string key = String();
        Expect(':');
        if (v.members.count(key)) Fail("duplicate key");
        v.members[key] = Value();
      } while (Eat(','));
      Expect('}');
    } else if (c == '[') {
      ++p_;
      v.kind = Json::Kind::Array;
      if (Eat(']')) return v;
      do v.items.push_back(Value());
      while (Eat(','));
      Expect(']');
    } else if (c == '"') {
      v.kind = Json::Kind::String;
      v.text = String();
    } else if (s_.compare(p_, 4, "true") == 0 || s_.compare(p_, 5, "false") == 0) {
      v.kind = Json::Kind::Bool;
      v.boolean = s_[p_] == 't';
      p_ += v.boolean ? 4 : 5;
    } else if (s_.compare(p_, 4, "null") == 0) {
      p_ += 4;
    } else {
      const char* start = s_.c_str() + p_;
      char* end = nullptr;
      v.kind = Json::Kind::Number;
      v.number = std::strtod(start, &end);
      if (end == start) Fail("bad value");
      const std::string token(start, static_cast<std::size_t>(end - start));
      if (token.find_first_of("nNiI") != std::string::npos) Fail("not a JSON number");
      p_ += static_cast<std::size_t>(end - start);
    }
    return v;
  }

  const std::string& s_;
  std::size_t p_ = 0;
};

inline Json ParseJson(const std::string& s) { return JsonReader(s).Read(); }

}  // namespace exporttest
