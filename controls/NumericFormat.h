#pragma once
// The rules of the numeric edits, as plain functions: which characters a
// printf-style format and a range allow, how long the text may get, whether
// a typed character is accepted where it is typed, and how text is shown and
// read back.
#include <QString>

namespace orv {

enum AllowedChars : int { kAllowDigits = 1, kAllowMinus = 2, kAllowPoint = 4 };

struct NumericLimits {
  int allowed = kAllowDigits;
  int lengthLimit = 4;
};

bool FormatHasPoint(const QString& format);
// Digits of the maximum's integer part (1 below 10); +1 with a negative
// minimum (minus allowed); +3 with a decimal point in the format.
NumericLimits LimitsFor(const QString& format, float minimum, float maximum);

// Whether typing `c` over the selection [selStart, selEnd) of `text` is
// accepted. Only minus, decimal point and digits are ever accepted.
bool AcceptsChar(QChar c, const QString& text, int selStart, int selEnd,
                 const NumericLimits& limits);

// The value shown with the format: as a double when the format has a decimal
// point, else as its integer part.
QString FormatValue(const QString& format, float value);
// The decimal conversion of the text's leading number, with a '.' whatever the
// locale; 0 when it has none.
float ParseValue(const QString& text);

}  // namespace orv
