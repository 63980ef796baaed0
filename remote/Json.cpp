#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CodePage.h"

namespace orv::remote {

namespace {

const std::string kEmptyString;
const Json::Array kEmptyArray;
const Json::Members kEmptyMembers;

// Largest integer a double holds exactly.
constexpr double kMaxExactInteger = 9007199254740992.0;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<Json> ParseAll(std::string* error) {
    SkipBlanks();
    std::optional<Json> value = Value(0);
    if (value) {
      SkipBlanks();
      if (pos_ != text_.size()) Fail("text after the value");
    }
    if (!error_.empty()) {
      if (error != nullptr) *error = error_ + " at " + std::to_string(pos_);
      return std::nullopt;
    }
    return value;
  }

 private:
  std::optional<Json> Fail(const char* why) {
    if (error_.empty()) error_ = why;
    return std::nullopt;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r' || Peek() == '\n'))
      ++pos_;
  }
  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  // `depth`: the arrays and objects around the value.
  std::optional<Json> Value(int depth) {
    switch (Peek()) {
      case '{':
        return Object(depth);
      case '[':
        return ArrayValue(depth);
      case '"': {
        std::optional<std::string> s = String();
        if (!s) return std::nullopt;
        return Json(std::move(*s));
      }
      case 't':
        if (Literal("true")) return Json(true);
        return Fail("bad literal");
      case 'f':
        if (Literal("false")) return Json(false);
        return Fail("bad literal");
      case 'n':
        if (Literal("null")) return Json(nullptr);
        return Fail("bad literal");
      default:
        return Number();
    }
  }

  std::optional<Json> Object(int depth) {
    if (depth >= Json::kMaxDepth) return Fail("nested too deep");
    ++pos_;  // '{'
    Json object = Json::MakeObject();
    SkipBlanks();
    if (Peek() == '}') {
      ++pos_;
      return object;
    }
    while (true) {
      SkipBlanks();
      if (Peek() != '"') return Fail("expected a key");
      std::optional<std::string> key = String();
      if (!key) return std::nullopt;
      SkipBlanks();
      if (Peek() != ':') return Fail("expected ':'");
      ++pos_;
      SkipBlanks();
      std::optional<Json> value = Value(depth + 1);
      if (!value) return std::nullopt;
      object.Set(std::move(*key), std::move(*value));
      SkipBlanks();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == '}') {
        ++pos_;
        return object;
      }
      return Fail("expected ',' or '}'");
    }
  }

  std::optional<Json> ArrayValue(int depth) {
    if (depth >= Json::kMaxDepth) return Fail("nested too deep");
    ++pos_;  // '['
    Json array = Json::MakeArray();
    SkipBlanks();
    if (Peek() == ']') {
      ++pos_;
      return array;
    }
    while (true) {
      SkipBlanks();
      std::optional<Json> value = Value(depth + 1);
      if (!value) return std::nullopt;
      array.Push(std::move(*value));
      SkipBlanks();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == ']') {
        ++pos_;
        return array;
      }
      return Fail("expected ',' or ']'");
    }
  }

  std::optional<int> Hex4() {
    if (pos_ + 4 > text_.size()) return std::nullopt;
    int v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_ + static_cast<std::size_t>(i)];
      v <<= 4;
      if (c >= '0' && c <= '9') {
        v |= c - '0';
      } else if (c >= 'a' && c <= 'f') {
        v |= c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        v |= c - 'A' + 10;
      } else {
        return std::nullopt;
      }
    }
    pos_ += 4;
    return v;
  }

  static void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::optional<std::string> String() {
    ++pos_;  // '"'
    std::string out;
    while (true) {
      if (AtEnd()) {
        Fail("unterminated string");
        return std::nullopt;
      }
      const char c = text_[pos_++];
      if (c == '"') {
        // Escapes always give whole characters; raw bytes must form them too.
        if (!IsUtf8(out)) {
          Fail("not UTF-8");
          return std::nullopt;
        }
        return out;
      }
      if (static_cast<unsigned char>(c) < 0x20) {
        Fail("control character in string");
        return std::nullopt;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (AtEnd()) {
        Fail("unterminated escape");
        return std::nullopt;
      }
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::optional<int> unit = Hex4();
          if (!unit) {
            Fail("bad \\u escape");
            return std::nullopt;
          }
          uint32_t cp = static_cast<uint32_t>(*unit);
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            // A high surrogate must be followed by its low half.
            std::optional<int> low;
            if (Literal("\\u")) low = Hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
              Fail("unpaired surrogate");
              return std::nullopt;
            }
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32_t>(*low) - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            Fail("unpaired surrogate");
            return std::nullopt;
          }
          AppendUtf8(out, cp);
          break;
        }
        default:
          Fail("bad escape");
          return std::nullopt;
      }
    }
  }

  std::optional<Json> Number() {
    const std::size_t start = pos_;
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') {
      ++pos_;
    } else if (Peek() >= '1' && Peek() <= '9') {
      while (Peek() >= '0' && Peek() <= '9') ++pos_;
    } else {
      return Fail("expected a value");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!(Peek() >= '0' && Peek() <= '9')) return Fail("bad number");
      while (Peek() >= '0' && Peek() <= '9') ++pos_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!(Peek() >= '0' && Peek() <= '9')) return Fail("bad number");
      while (Peek() >= '0' && Peek() <= '9') ++pos_;
    }
    // The grammar above was checked; strtod needs a terminated copy.
    const std::string token(text_.substr(start, pos_ - start));
    const double value = std::strtod(token.c_str(), nullptr);
    if (!std::isfinite(value)) return Fail("number out of range");
    return Json(value);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

void DumpString(const std::string& text, std::string& out) {
  // A text from elsewhere (a device name, a cut detail) may hold malformed
  // UTF-8; the line stays readable with U+FFFD in its place.
  const bool ascii = IsAscii(text);
  const std::string wellFormed = ascii ? std::string() : CodePageToUtf8(text, kCodePageUtf8);
  const std::string& s = ascii ? text : wellFormed;
  out += '"';
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20 || u == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", u);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace

bool IsUtf8(std::string_view text) {
  return IsAscii(text) || CodePageToUtf8(text, kCodePageUtf8) == text;
}

const std::string& Json::AsString() const {
  return IsString() ? std::get<std::string>(value_) : kEmptyString;
}

const Json::Array& Json::AsArray() const {
  return IsArray() ? std::get<Array>(value_) : kEmptyArray;
}

const Json::Members& Json::AsMembers() const {
  return IsObject() ? std::get<Members>(value_) : kEmptyMembers;
}

std::optional<int64_t> Json::AsInteger() const {
  if (!IsNumber()) return std::nullopt;
  const double v = std::get<double>(value_);
  if (std::trunc(v) != v || std::fabs(v) > kMaxExactInteger) return std::nullopt;
  return static_cast<int64_t>(v);
}

const Json* Json::Find(std::string_view key) const {
  for (const auto& [k, v] : AsMembers()) {
    if (k == key) return &v;
  }
  return nullptr;
}

Json& Json::Set(std::string key, Json value) {
  if (!IsObject()) value_ = Members{};
  auto& members = std::get<Members>(value_);
  for (auto& [k, v] : members) {
    if (k == key) {
      v = std::move(value);
      return *this;
    }
  }
  members.emplace_back(std::move(key), std::move(value));
  return *this;
}

Json& Json::Push(Json value) {
  if (!IsArray()) value_ = Array{};
  std::get<Array>(value_).push_back(std::move(value));
  return *this;
}

std::string Json::Dump() const {
  std::string out;
  DumpTo(out);
  return out;
}

void Json::DumpTo(std::string& out) const {
  switch (kind()) {
    case Kind::Null:
      out += "null";
      break;
    case Kind::Bool:
      out += AsBool() ? "true" : "false";
      break;
    case Kind::Number: {
      if (const std::optional<int64_t> n = AsInteger()) {
        out += std::to_string(*n);
      } else {
        // The shortest of 15 or 17 digits that reads back as the same value.
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", AsNumber());
        if (std::strtod(buf, nullptr) != AsNumber())
          std::snprintf(buf, sizeof buf, "%.17g", AsNumber());
        out += buf;
      }
      break;
    }
    case Kind::String:
      DumpString(AsString(), out);
      break;
    case Kind::Array: {
      out += '[';
      bool first = true;
      for (const Json& v : AsArray()) {
        if (!first) out += ',';
        first = false;
        v.DumpTo(out);
      }
      out += ']';
      break;
    }
    case Kind::Object: {
      out += '{';
      bool first = true;
      for (const auto& [k, v] : AsMembers()) {
        if (!first) out += ',';
        first = false;
        DumpString(k, out);
        out += ':';
        v.DumpTo(out);
      }
      out += '}';
      break;
    }
  }
}

std::optional<Json> Json::Parse(std::string_view text, std::string* error) {
  return Parser(text).ParseAll(error);
}

}  // namespace orv::remote
