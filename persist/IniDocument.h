#pragma once
// An INI file held in memory, parsed the way the platform's profile-string
// calls read it and changed one key at a time the way they write it. The
// parser works on bytes in memory (no file access), so it can be fed anything.
//
// Reading: sections and keys compare case-insensitively (ASCII letters);
// blanks around section names, keys and values are dropped; a value enclosed
// in a pair of matching quotes loses them; lines starting with ';' are
// comments. The first matching key of the first matching section wins.
//
// Writing: every line the change does not touch keeps its bytes. A changed
// key keeps its place; a new key goes after the last line of its section; a
// new section goes at the end. The file's encoding is kept: UTF-16LE or UTF-8
// when it starts with their byte-order mark, else the ANSI code page. Only
// when a text does not fit the ANSI code page does the whole file become
// UTF-16LE with a byte-order mark (every line converted), so that nothing
// written is lost and the platform's readers still read it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class IniEncoding { Ansi, Utf16Le, Utf8Bom };

class IniDocument {
 public:
  // `ansiCodePage` decodes and encodes files without a byte-order mark.
  static IniDocument Parse(std::string_view bytes, int ansiCodePage);

  // The value (UTF-8) of the key, or nullopt when the section or key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Sets one key, creating the section when needed. Line breaks in the texts
  // end them (a value cannot span lines). An ANSI document that cannot hold
  // the texts becomes UTF-16LE first. Returns whether the bytes changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;
  IniEncoding Encoding() const { return encoding_; }

 private:
  enum class Kind { Blank, Comment, Section, Key };
  struct Line {
    std::string raw;  // the bytes of the line including its line end
    Kind kind = Kind::Blank;
    std::string name;   // section name or key, UTF-8, blanks dropped
    std::string value;  // key value, UTF-8
  };

  Line MakeLine(std::string raw) const;
  void AddLine(std::string raw);
  std::string Encode(std::string_view text) const;
  std::string LineEnd() const;
  // Gives an unterminated line its line end.
  void EndLine(Line& line, const std::string& lineEnd) const;
  bool EndsWithLineEnd(const std::string& raw) const;
  bool FitsCodePage(std::string_view text) const;
  void ConvertToUtf16();

  IniEncoding encoding_ = IniEncoding::Ansi;
  int codePage_ = 1252;
  std::string bom_;
  std::vector<Line> lines_;
};

}  // namespace orv
