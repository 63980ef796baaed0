#pragma once
// A small JSON value with a bounded parser and a compact writer, for the
// line protocol of the show-control server and the output of orvctl. One
// value per line: the writer never emits a line break, and the parser takes
// at most kMaxDepth levels of nesting from input of a length the caller has
// already bounded. Texts are UTF-8 both ways: the parser refuses malformed
// bytes in strings, the writer replaces them with U+FFFD. No exceptions: a
// parse failure returns nullopt and a reason.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace orv::remote {

class Json {
 public:
  enum class Kind { Null, Bool, Number, String, Array, Object };
  using Array = std::vector<Json>;
  using Members = std::vector<std::pair<std::string, Json>>;  // keeps the order written

  // Arrays and objects inside each other, the outermost counted.
  static constexpr int kMaxDepth = 16;

  Json() = default;
  Json(std::nullptr_t) {}
  Json(bool b) : value_(b) {}
  Json(int n) : value_(static_cast<double>(n)) {}
  Json(int64_t n) : value_(static_cast<double>(n)) {}
  Json(double n) : value_(n) {}
  Json(const char* s) : value_(std::string(s)) {}
  Json(std::string s) : value_(std::move(s)) {}
  Json(std::string_view s) : value_(std::string(s)) {}
  static Json MakeArray() { return Json(Array{}); }
  static Json MakeObject() { return Json(Members{}); }

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsBool() const { return kind() == Kind::Bool; }
  bool IsNumber() const { return kind() == Kind::Number; }
  bool IsString() const { return kind() == Kind::String; }
  bool IsArray() const { return kind() == Kind::Array; }
  bool IsObject() const { return kind() == Kind::Object; }

  bool AsBool() const { return IsBool() && std::get<bool>(value_); }
  double AsNumber() const { return IsNumber() ? std::get<double>(value_) : 0.0; }
  const std::string& AsString() const;
  const Array& AsArray() const;
  const Members& AsMembers() const;
  // The number as an integer when it is one (no fraction, within +-2^53).
  std::optional<int64_t> AsInteger() const;

  // Object access; Find returns null for a missing key or a non-object.
  const Json* Find(std::string_view key) const;
  Json& Set(std::string key, Json value);  // replaces an existing key
  Json& Push(Json value);                  // on an array

  bool operator==(const Json& other) const { return value_ == other.value_; }

  // Compact text, no line breaks; strings escaped so that the line stays valid.
  std::string Dump() const;
  void DumpTo(std::string& out) const;

  // Parses exactly one value (surrounding blanks allowed).
  static std::optional<Json> Parse(std::string_view text, std::string* error = nullptr);

 private:
  explicit Json(Array a) : value_(std::move(a)) {}
  explicit Json(Members m) : value_(std::move(m)) {}

  std::variant<std::nullptr_t, bool, double, std::string, Array, Members> value_;
};

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text);

}  // namespace orv::remote
