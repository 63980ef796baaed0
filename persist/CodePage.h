#pragma once
// Code-page conversions between the UTF-8 texts kept in memory and the bytes
// of ANSI files (1252 Western, 936 Simplified Chinese, 65001 UTF-8), plus the
// UTF-16LE encoding of Unicode files. The code-page conversions go through
// iconv, except UTF-8, which is checked here: overlong forms, surrogates,
// values past U+10FFFF and five- or six-byte forms never leave this layer.
#include <string>
#include <string_view>

namespace orv {

constexpr int kCodePageWestern = 1252;
constexpr int kCodePageChinese = 936;
constexpr int kCodePageUtf8 = 65001;
// "Use the system ANSI code page, looked up at the moment of the conversion."
constexpr int kCodePageAnsi = -1;

// The system ANSI code page: 936 when the system locale is Chinese (PRC),
// else 1252. Read from LC_ALL, LC_CTYPE, LANG in that order of precedence.
int AnsiCodePage();
// The ANSI code page that a locale name implies ("zh_CN.UTF-8" gives 936).
int AnsiCodePageForLocale(std::string_view locale);
// Overrides AnsiCodePage() (0 goes back to the locale).
void SetAnsiCodePageForTesting(int codePage);

// `codePage` may be kCodePageAnsi. Bytes that are not valid in the code page
// become U+FFFD (for UTF-8 one for each longest valid beginning of a
// sequence), except the five bytes 1252 leaves undefined, which map to the
// control characters of the same value (as the platform does).
std::string CodePageToUtf8(std::string_view bytes, int codePage);

// Characters the code page cannot represent (and malformed UTF-8) become
// `defaultChar`; for 65001 they become U+FFFD whatever defaultChar says.
// `usedDefault`, when given, tells whether that happened.
std::string Utf8ToCodePage(std::string_view text, int codePage, char defaultChar,
                           bool* usedDefault = nullptr);

// UTF-16LE bytes (no byte-order mark) to UTF-8 and back. Unpaired surrogates
// and malformed UTF-8 become U+FFFD; a final odd byte is ignored.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf8ToUtf16Le(std::string_view text);

// Number of UTF-16 code units `text` takes (the unit the read limits count).
std::size_t Utf16Length(std::string_view text);
// The longest prefix of `text` that takes at most `units` UTF-16 code units,
// never splitting a character.
std::string_view Utf16Prefix(std::string_view text, std::size_t units);

// Length of the bytes at the end of `bytes` that begin a character the piece
// does not finish (a 936 lead byte, the start of a UTF-8 sequence); 0 for
// single-byte code pages. Lets a reader that cuts long lines into pieces cut
// between characters.
std::size_t UnfinishedTail(std::string_view bytes, int codePage);

}  // namespace orv
