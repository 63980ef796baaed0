#include "IniDocument.h"

#include "CodePage.h"

namespace orv {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// A text ends at its first line break: the file format has no way to carry one.
std::string_view OneLine(std::string_view text) {
  const auto end = text.find_first_of("\r\n");
  return end == std::string_view::npos ? text : text.substr(0, end);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes, int ansiCodePage) {
  IniDocument doc;
  doc.codePage_ = ansiCodePage;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    doc.encoding_ = IniEncoding::Utf16Le;
    doc.bom_ = bytes.substr(0, 2);
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    doc.encoding_ = IniEncoding::Utf8Bom;
    doc.bom_ = bytes.substr(0, 3);
  }
  bytes.remove_prefix(doc.bom_.size());

  const bool wide = doc.encoding_ == IniEncoding::Utf16Le;
  const std::size_t step = wide ? 2 : 1;
  std::size_t start = 0;
  for (std::size_t i = 0; i + step <= bytes.size(); i += step) {
    const bool lineFeed = bytes[i] == '\n' && (!wide || bytes[i + 1] == '\0');
    if (lineFeed) {
      doc.AddLine(std::string(bytes.substr(start, i + step - start)));
      start = i + step;
    }
  }
  if (start < bytes.size()) doc.AddLine(std::string(bytes.substr(start)));
  return doc;
}

void IniDocument::AddLine(std::string raw) {
  lines_.push_back(MakeLine(std::move(raw)));
}

IniDocument::Line IniDocument::MakeLine(std::string raw) const {
  Line line;
  line.raw = std::move(raw);
  std::string_view body = line.raw;
  const bool wide = encoding_ == IniEncoding::Utf16Le;
  const std::string_view lf = wide ? std::string_view("\n\0", 2) : "\n";
  const std::string_view cr = wide ? std::string_view("\r\0", 2) : "\r";
  if (body.ends_with(lf)) body.remove_suffix(lf.size());
  if (body.ends_with(cr)) body.remove_suffix(cr.size());

  std::string text;
  switch (encoding_) {
    case IniEncoding::Utf16Le:
      text = Utf16LeToUtf8(body);
      break;
    case IniEncoding::Utf8Bom:
      text = CodePageToUtf8(body, kCodePageUtf8);
      break;
    case IniEncoding::Ansi:
      text = CodePageToUtf8(body, codePage_);
      break;
  }

  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) {
    line.kind = Kind::Blank;
  } else if (trimmed.front() == ';') {
    line.kind = Kind::Comment;
  } else if (trimmed.front() == '[') {
    line.kind = Kind::Section;
    std::string_view inside = trimmed.substr(1);
    const auto close = inside.find(']');
    if (close != std::string_view::npos) inside = inside.substr(0, close);
    line.name = Trim(inside);
  } else {
    line.kind = Kind::Key;
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
      line.name = trimmed;
    } else {
      line.name = Trim(trimmed.substr(0, equals));
      line.value = Unquote(Trim(trimmed.substr(equals + 1)));
    }
  }
  return line;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
  std::string_view current;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) {
      current = line.name;
    } else if (line.kind == Kind::Key && SameName(current, section) && SameName(line.name, key)) {
      return line.value;
    }
  }
  return std::nullopt;
}

std::string IniDocument::Encode(std::string_view text) const {
  switch (encoding_) {
    case IniEncoding::Utf16Le:
      return Utf8ToUtf16Le(text);
    case IniEncoding::Utf8Bom:
      return Utf8ToCodePage(text, kCodePageUtf8, '?');
    case IniEncoding::Ansi:
      break;
  }
  return Utf8ToCodePage(text, codePage_, '?');
}

bool IniDocument::EndsWithLineEnd(const std::string& raw) const {
  if (encoding_ == IniEncoding::Utf16Le) {
    // Lines start on a unit boundary, so an odd length means a stray final
    // byte, whatever its value: 0A 00 straddling two units is no line feed.
    return raw.size() >= 2 && raw.size() % 2 == 0 && raw[raw.size() - 2] == '\n' &&
           raw.back() == '\0';
  }
  return !raw.empty() && raw.back() == '\n';
}

void IniDocument::EndLine(Line& line, const std::string& lineEnd) const {
  if (EndsWithLineEnd(line.raw)) return;
  // A UTF-16 file cut after an odd byte: complete the unit first (the lost
  // high byte of an ASCII character was 00), so that the line end and
  // everything after it stay aligned.
  std::string raw = line.raw;
  if (encoding_ == IniEncoding::Utf16Le && raw.size() % 2 != 0) raw.push_back('\0');
  if (!EndsWithLineEnd(raw)) raw += lineEnd;
  line = MakeLine(std::move(raw));
}

std::string IniDocument::LineEnd() const {
  // New lines end like the file's first ended line; CR LF in a new file.
  bool crlf = true;
  for (const Line& line : lines_) {
    if (!EndsWithLineEnd(line.raw)) continue;
    const std::size_t unit = encoding_ == IniEncoding::Utf16Le ? 2 : 1;
    crlf = line.raw.size() >= 2 * unit && line.raw[line.raw.size() - 2 * unit] == '\r';
    break;
  }
  return Encode(crlf ? "\r\n" : "\n");
}

bool IniDocument::FitsCodePage(std::string_view text) const {
  bool lost = false;
  Utf8ToCodePage(text, codePage_, '?', &lost);
  return !lost;
}

void IniDocument::ConvertToUtf16() {
  std::vector<Line> old = std::move(lines_);
  lines_.clear();
  encoding_ = IniEncoding::Utf16Le;
  bom_ = "\xFF\xFE";
  for (const Line& line : old) AddLine(Utf8ToUtf16Le(CodePageToUtf8(line.raw, codePage_)));
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(OneLine(section));
  key = Trim(OneLine(key));
  value = OneLine(value);
  if (encoding_ == IniEncoding::Ansi &&
      !(FitsCodePage(section) && FitsCodePage(key) && FitsCodePage(value))) {
    ConvertToUtf16();
  }

  // The first section of that name; the lines before any section line form
  // the unnamed section.
  std::size_t begin = 0;
  bool found = section.empty();
  if (!found) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].kind == Kind::Section && SameName(lines_[i].name, section)) {
        begin = i + 1;
        found = true;
        break;
      }
    }
  }
  const std::string lineEnd = LineEnd();

  if (!found) {
    if (!lines_.empty()) EndLine(lines_.back(), lineEnd);
    AddLine(Encode("[" + std::string(section) + "]") + lineEnd);
    AddLine(Encode(std::string(key) + "=" + std::string(value)) + lineEnd);
    return true;
  }

  std::size_t end = begin;
  while (end < lines_.size() && lines_[end].kind != Kind::Section) ++end;

  for (std::size_t i = begin; i < end; ++i) {
    Line& line = lines_[i];
    if (line.kind != Kind::Key || !SameName(line.name, key)) continue;
    const std::string ending = EndsWithLineEnd(line.raw) ? lineEnd : std::string();
    std::string raw = Encode(line.name + "=" + std::string(value)) + ending;
    if (raw == line.raw) return false;
    line = MakeLine(std::move(raw));
    return true;
  }

  // After the section's last non-blank line, so that blank lines that
  // separate it from the next section stay where they are.
  std::size_t at = begin;
  for (std::size_t i = begin; i < end; ++i) {
    if (lines_[i].kind != Kind::Blank) at = i + 1;
  }
  if (at > 0) EndLine(lines_[at - 1], lineEnd);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                MakeLine(Encode(std::string(key) + "=" + std::string(value)) + lineEnd));
  return true;
}

std::string IniDocument::Serialize() const {
  std::string out = bom_;
  for (const Line& line : lines_) out += line.raw;
  return out;
}

}  // namespace orv
