#include "NumericFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "IniLines.h"

namespace orv {

bool FormatHasPoint(const QString& format) {
  return format.contains(QLatin1Char('.'));
}

NumericLimits LimitsFor(const QString& format, float minimum, float maximum) {
  NumericLimits l;
  int digits = 1;
  for (auto v = static_cast<long long>(std::fabs(maximum)); v >= 10; v /= 10) ++digits;
  l.lengthLimit = digits;
  l.allowed = kAllowDigits;
  if (minimum < 0) {
    l.allowed |= kAllowMinus;
    l.lengthLimit += 1;
  }
  if (FormatHasPoint(format)) {
    l.allowed |= kAllowPoint;
    l.lengthLimit += 3;
  }
  return l;
}

bool AcceptsChar(QChar c, const QString& text, int s, int e, const NumericLimits& limits) {
  const bool hasMinus = text.contains(QLatin1Char('-'));
  if (c == QLatin1Char('-')) {
    if (!(limits.allowed & kAllowMinus) || s != 0) return false;
    // A second minus in front of the first would make the text no number.
    return !(hasMinus && text.indexOf(QLatin1Char('-')) >= e);
  }
  if (c == QLatin1Char('.')) {
    if (!(limits.allowed & kAllowPoint)) return false;
    const int minStart = hasMinus ? 2 : 1;
    const int point = static_cast<int>(text.indexOf(QLatin1Char('.')));
    if (point < 0) return s >= minStart && s <= limits.lengthLimit - 2;
    return s <= point && point < e && s >= minStart;
  }
  if (c == QLatin1Char('0')) {
    if (text.isEmpty()) return true;
    if (!hasMinus) {
      if (!text.startsWith(QLatin1Char('0'))) return true;
      if (s == 1) return false;
      if (s == 0) return s < e;
      return true;
    }
    if (text.indexOf(QLatin1Char('0')) == 1) return (s <= 1 && 1 < e) || s > 2;
    return e > 0;
  }
  if (c.isDigit() && c.unicode() < 128) {
    return !(hasMinus && e == 0);
  }
  return false;
}

QString FormatValue(const QString& format, float value) {
  // The pages' formats hold one conversion (%d, %i, %u, %f with flags, width
  // and precision) and perhaps fixed text; it is applied here rather than by
  // printf, so a malformed format can never read a missing argument.
  QString out;
  bool converted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar ch = format[i];
    if (ch != QLatin1Char('%')) {
      out += ch;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == QLatin1Char('%')) {
      out += QLatin1Char('%');
      ++i;
      continue;
    }
    bool left = false, zero = false, plus = false, space = false;
    qsizetype j = i + 1;
    for (; j < format.size(); ++j) {
      const QChar f = format[j];
      if (f == QLatin1Char('-'))
        left = true;
      else if (f == QLatin1Char('0'))
        zero = true;
      else if (f == QLatin1Char('+'))
        plus = true;
      else if (f == QLatin1Char(' '))
        space = true;
      else
        break;
    }
    int width = 0;
    while (j < format.size() && format[j].isDigit()) width = width * 10 + format[j++].digitValue();
    int precision = -1;
    if (j < format.size() && format[j] == QLatin1Char('.')) {
      precision = 0;
      ++j;
      while (j < format.size() && format[j].isDigit()) {
        precision = precision * 10 + format[j++].digitValue();
      }
    }
    while (j < format.size() && QStringLiteral("hlLqjzt").contains(format[j])) ++j;  // length
    const QChar conv = j < format.size() ? format[j] : QLatin1Char('d');
    i = j;
    if (converted) continue;  // one value only: later conversions show nothing
    converted = true;
    const bool floating = conv == QLatin1Char('f') || conv == QLatin1Char('F') ||
                          conv == QLatin1Char('e') || conv == QLatin1Char('g');
    QString number;
    if (FormatHasPoint(format) || floating) {
      // Rounded as printf rounds (ties of exact binary values to even).
      char buffer[64];
      const auto res = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                     std::chars_format::fixed, precision < 0 ? 6 : precision);
      number = QString::fromLatin1(buffer, res.ec == std::errc() ? res.ptr - buffer : 0);
    } else {
      number = QString::number(static_cast<long long>(value));
    }
    const bool negative = number.startsWith(QLatin1Char('-'));
    if (negative) number.remove(0, 1);
    const QString sign = negative ? QStringLiteral("-")
                         : plus   ? QStringLiteral("+")
                         : space  ? QStringLiteral(" ")
                                  : QString();
    const qsizetype pad = std::max<qsizetype>(0, width - number.size() - sign.size());
    if (left) {
      out += sign + number + QString(pad, QLatin1Char(' '));
    } else if (zero) {
      out += sign + QString(pad, QLatin1Char('0')) + number;
    } else {
      out += QString(pad, QLatin1Char(' ')) + sign + number;
    }
  }
  return out;
}

float ParseValue(const QString& text) {
  // The operator types a '.' whatever the locale says (the edit accepts no
  // other separator), so the reading must not follow the locale either.
  const QByteArray bytes = text.trimmed().toLatin1();
  return static_cast<float>(DecimalToDouble(std::string_view(bytes.constData(), bytes.size())));
}

}  // namespace orv
