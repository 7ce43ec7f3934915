#pragma once
// Numbers kept as decimal text (settings values, scores, coefficients) and their strict conversion.
#include <QString>

namespace decimal_text {

// Whole number with blanks around it allowed; anything else throws "'%s' is not a valid integer value".
int toInt(const QString &text);

// Decimal number with a period; anything else (the empty text included) throws
// "'%s' is not a valid floating point value".
double toDouble(const QString &text);

// Integer as decimal text.
QString fromInt(int value);

} // namespace decimal_text
