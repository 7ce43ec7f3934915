#pragma once
// Numbers kept as decimal text (settings values, scores, coefficients) and their strict conversion.
#include <QString>

namespace decimal_text {

// Whole number with blanks around it allowed; anything else throws integerErrorText(text).
int toInt(const QString &text);

// Decimal number with a period; anything else (the empty text included) throws numberErrorText(text).
double toDouble(const QString &text);

// The conversions' errors: a Chinese sentence naming the text, then "'%s' is not a valid integer value"
// or "'%s' is not a valid floating point value".
QString integerErrorText(const QString &text);
QString numberErrorText(const QString &text);

// Integer as decimal text.
QString fromInt(int value);

} // namespace decimal_text
