#pragma once
// INI-style lines on a CStdioFileEx: a writer of section and key lines, and a
// forward-only key search that reads the file back in the order in which it
// was written. Unlike the settings module, both are exact: no blanks are
// dropped and names compare case-sensitively.
#include <cstdint>
#include <string>
#include <string_view>

#include "StdioFileEx.h"

namespace orv {

// "[name]\r\n"
bool WriteSection(CStdioFileEx& file, std::string_view name);
// "key=value\r\n"
bool WriteKey(CStdioFileEx& file, std::string_view key, std::string_view value);

// Value texts: integers in decimal ("%d"); floating-point numbers with six
// decimals ("%f"), always with a '.' whatever the user's locale says.
std::string FormatInteger(int64_t value);
std::string FormatFixed6(double value);
// "HPOS" and 2 give "HPOS2"; "BRIGHTNESS", 11 and 3 give "BRIGHTNESS113".
std::string IndexedKey(std::string_view base, int index);
std::string IndexedKey(std::string_view base, int first, int second);

// Reads on from the file's position for the line `key=...` under the section
// line `[section]`, both compared exactly. On success `value` receives the
// text after the first '=' and the file stands after that line; at the end of
// the file it returns false and leaves `value` as it was (every later search
// on that file fails too). The current section is the file's SearchSection():
// a section line sets it to the text between its first '[' and first ']'
// (empty when either is missing), and it carries over from one search to the
// next.
bool FindKey(CStdioFileEx& file, std::string_view section, std::string_view key,
             std::string& value);

// Decimal text to integer, the way the C library's atoi reads it: leading
// blanks, an optional sign, then digits up to the first other character;
// text that is not a number gives 0. Out-of-range values stop at the limits
// of int32_t.
int32_t DecimalToInt(std::string_view text);
// Decimal text to floating point, the way atof reads it (leading blanks,
// the longest number at the start, 0 when there is none), with '.' as the
// decimal separator whatever the locale.
double DecimalToDouble(std::string_view text);

}  // namespace orv
