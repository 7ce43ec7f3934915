#include "decimal_text.h"

#include "app_error.h"

#include <cmath>

namespace decimal_text {

int toInt(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    int value = 0;
    // A leading '$' marks hexadecimal in the conversion the settings were written for.
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toInt(&ok, 16);
    else if (!t.isEmpty() && !t.contains(QLatin1Char(' ')))
        value = t.toInt(&ok, 10);
    if (!ok)
        throw AppError(integerErrorText(text));
    return value;
}

double toDouble(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    double value = 0;
    // Only plain decimal forms: digits, one period, optional sign and exponent; no "inf" or "nan".
    bool plain = !t.isEmpty();
    for (QChar c : t) {
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+')
              || c == QLatin1Char('e') || c == QLatin1Char('E'))) {
            plain = false;
            break;
        }
    }
    if (plain)
        value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw AppError(numberErrorText(text));
    return value;
}

QString integerErrorText(const QString &text)
{
    return QStringLiteral("“%1”不是有效的整数。\n'%1' is not a valid integer value").arg(text);
}

QString numberErrorText(const QString &text)
{
    return QStringLiteral("“%1”不是有效的数字。\n'%1' is not a valid floating point value").arg(text);
}

QString fromInt(int value)
{
    return QString::number(value);
}

} // namespace decimal_text
