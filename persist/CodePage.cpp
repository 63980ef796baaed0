#include "CodePage.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <utility>

namespace orv {
namespace {

std::atomic<int> g_testCodePage{0};

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The second byte a lead byte allows (Unicode's table of well-formed
// sequences): it is what rules out overlong forms, surrogates and values
// beyond U+10FFFF. Lead bytes missing here (80..C1, F5..FF) start nothing.
struct LeadByte {
  unsigned char first, last;  // range of lead bytes
  std::size_t length;
  unsigned char secondLow, secondHigh;
};
constexpr LeadByte kLeadBytes[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// Decodes one UTF-8 character at the start of `text` (not empty). Returns the
// bytes it takes. A malformed sequence gives U+FFFD and the length of its
// longest valid beginning (at least 1), so that the next character that could
// start there is not swallowed.
std::size_t DecodeUtf8(std::string_view text, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(text[0]);
  cp = kReplacement;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  const LeadByte* lead = nullptr;
  for (const LeadByte& row : kLeadBytes) {
    if (b0 >= row.first && b0 <= row.last) lead = &row;
  }
  if (lead == nullptr) return 1;
  char32_t value = b0 & (0x7F >> lead->length);
  for (std::size_t k = 1; k < lead->length; ++k) {
    if (k >= text.size()) return k;
    const auto b = static_cast<unsigned char>(text[k]);
    const unsigned char low = k == 1 ? lead->secondLow : 0x80;
    const unsigned char high = k == 1 ? lead->secondHigh : 0xBF;
    if (b < low || b > high) return k;
    value = (value << 6) | (b & 0x3F);
  }
  cp = value;
  return lead->length;
}

// `text` with every malformed sequence replaced by U+FFFD; `replaced` tells
// whether there was one.
std::string WellFormedUtf8(std::string_view text, bool& replaced) {
  std::string out;
  out.reserve(text.size());
  replaced = false;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    const std::size_t length = DecodeUtf8(text.substr(i), cp);
    if (cp == kReplacement && text.substr(i, 3) != "\xEF\xBF\xBD") replaced = true;
    AppendUtf8(out, cp);
    i += length;
  }
  return out;
}

std::string IconvName(int codePage) {
  switch (codePage) {
    case kCodePageUtf8:
      return "UTF-8";
    case kCodePageChinese:
      return "CP936";
    case kCodePageWestern:
      return "CP1252";
    default:
      return "CP" + std::to_string(codePage);
  }
}

// One conversion descriptor per (code page, direction) and thread, opened on
// first use and closed when the thread ends.
class IconvCache {
 public:
  ~IconvCache() {
    for (auto& [key, cd] : handles_) iconv_close(cd);
  }

  // toUtf8: code page -> UTF-8, else UTF-8 -> code page. A code page iconv
  // does not know falls back to 1252.
  iconv_t Get(int codePage, bool toUtf8) {
    const auto key = std::make_pair(codePage, toUtf8);
    auto it = handles_.find(key);
    if (it != handles_.end()) {
      iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // reset shift state
      return it->second;
    }
    const std::string name = IconvName(codePage);
    iconv_t cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
      if (codePage == kCodePageWestern) return cd;
      return Get(kCodePageWestern, toUtf8);
    }
    handles_.emplace(key, cd);
    return cd;
  }

 private:
  std::map<std::pair<int, bool>, iconv_t> handles_;
};

iconv_t Descriptor(int codePage, bool toUtf8) {
  thread_local IconvCache cache;
  return cache.Get(codePage, toUtf8);
}

// Runs iconv over `in`. At an input sequence it cannot convert, `onBad` gets
// the rest of the input, appends a replacement and returns how many input
// bytes to skip (at least 1).
template <class OnBad>
std::string Convert(iconv_t cd, std::string_view in, OnBad onBad) {
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  out.reserve(in.size() * 2 + 16);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ (invalid or unrepresentable) or EINVAL (cut short at the end).
    std::size_t skip = onBad(std::string_view(inPtr, inLeft), out);
    if (skip == 0) skip = 1;
    if (skip > inLeft) skip = inLeft;
    inPtr += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

bool Undefined1252(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

int Resolve(int codePage) {
  return codePage == kCodePageAnsi ? AnsiCodePage() : codePage;
}

}  // namespace

int AnsiCodePageForLocale(std::string_view locale) {
  // zh_CN, zh_CN.UTF-8, zh_CN.GB18030@... and the tag form zh-CN.
  if (locale.size() < 5) return kCodePageWestern;
  const bool prc = locale.substr(0, 2) == "zh" && (locale[2] == '_' || locale[2] == '-') &&
                   locale.substr(3, 2) == "CN" &&
                   (locale.size() == 5 || locale[5] == '.' || locale[5] == '@');
  return prc ? kCodePageChinese : kCodePageWestern;
}

int AnsiCodePage() {
  const int forced = g_testCodePage.load();
  if (forced != 0) return forced;
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return AnsiCodePageForLocale(value);
  }
  return kCodePageWestern;
}

void SetAnsiCodePageForTesting(int codePage) {
  g_testCodePage = codePage;
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  const int cp = Resolve(codePage);
  // The converter's idea of UTF-8 may be wider than Unicode's (five-byte
  // forms, values past U+10FFFF): only well-formed text leaves this layer.
  if (cp == kCodePageUtf8) {
    bool replaced;
    return WellFormedUtf8(bytes, replaced);
  }
  return Convert(Descriptor(cp, true), bytes, [cp](std::string_view rest, std::string& out) {
    const auto b = static_cast<unsigned char>(rest[0]);
    AppendUtf8(out, cp == kCodePageWestern && Undefined1252(b) ? char32_t{b} : kReplacement);
    return std::size_t{1};
  });
}

std::string Utf8ToCodePage(std::string_view text, int codePage, char defaultChar,
                           bool* usedDefault) {
  const int cp = Resolve(codePage);
  bool used = false;
  if (cp == kCodePageUtf8) {
    std::string out = WellFormedUtf8(text, used);
    if (usedDefault != nullptr) *usedDefault = used;
    return out;
  }
  std::string out =
      Convert(Descriptor(cp, false), text, [&](std::string_view rest, std::string& o) {
        char32_t ignored;
        const std::size_t length = DecodeUtf8(rest, ignored);
        o.push_back(defaultChar);
        used = true;
        return length;
      });
  if (usedDefault != nullptr) *usedDefault = used;
  return out;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unitAt = [&bytes](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t u = unitAt(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const char16_t low = unitAt(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : char32_t{u});
  }
  return out;
}

std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto unit = [&out](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    i += DecodeUtf8(text.substr(i), cp);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(0xD800 + (cp >> 10));
      unit(0xDC00 + (cp & 0x3FF));
    } else {
      unit(cp);
    }
  }
  return out;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp;
    i += DecodeUtf8(text.substr(i), cp);
    units += cp >= 0x10000 ? 2 : 1;
  }
  return units;
}

std::string_view Utf16Prefix(std::string_view text, std::size_t units) {
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp;
    const std::size_t length = DecodeUtf8(text.substr(i), cp);
    const std::size_t need = cp >= 0x10000 ? 2 : 1;
    if (used + need > units) break;
    used += need;
    i += length;
  }
  return text.substr(0, i);
}

std::size_t UnfinishedTail(std::string_view bytes, int codePage) {
  const int cp = Resolve(codePage);
  if (cp == kCodePageChinese) {
    // Walk the pairs from the start: a lead byte 0x81..0xFE takes the next byte.
    std::size_t i = 0;
    while (i < bytes.size()) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (b >= 0x81 && b <= 0xFE) {
        if (i + 1 == bytes.size()) return 1;
        i += 2;
      } else {
        ++i;
      }
    }
    return 0;
  }
  if (cp == kCodePageUtf8) {
    // Look back over at most three continuation bytes for a lead byte.
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
      const auto b = static_cast<unsigned char>(bytes[n - back]);
      if ((b & 0xC0) == 0x80) continue;
      std::size_t length = 1;
      if ((b & 0xE0) == 0xC0) length = 2;
      if ((b & 0xF0) == 0xE0) length = 3;
      if ((b & 0xF8) == 0xF0) length = 4;
      return length > back ? back : 0;
    }
    return 0;
  }
  return 0;
}

}  // namespace orv
