#include "quiz_rules.h"

#include <algorithm>
#include <cmath>

namespace quiz {

namespace {

const std::array<QString, kTypeCount> kTypeNames{QStringLiteral("选择题"), QStringLiteral("问答题"), QStringLiteral("连线题"),
                                                 QStringLiteral("图片题"), QStringLiteral("多媒体题")};
const std::array<QuestionType, kTypeCount> kTypes{QuestionType::Choice, QuestionType::Answer, QuestionType::Matching,
                                                  QuestionType::Picture, QuestionType::Media};

// Tiles 1..20: picture left, top; label left, top, width, height. Pictures are 170 x 115 unless given.
struct TileRow {
    int px, py, pw, ph, lx, ly, lw, lh;
};
constexpr std::array<TileRow, kTileCount> kTiles{{
    {78, 123, 170, 115, 83, 147, 152, 73},   {258, 123, 170, 115, 264, 151, 155, 73},
    {437, 123, 164, 114, 442, 143, 155, 79}, {610, 122, 170, 115, 615, 145, 155, 79},
    {789, 122, 170, 115, 794, 141, 155, 79}, {78, 259, 170, 115, 86, 277, 155, 83},
    {259, 259, 170, 115, 264, 276, 155, 83}, {437, 259, 170, 115, 441, 273, 155, 83},
    {615, 258, 170, 115, 620, 276, 155, 83}, {791, 257, 170, 115, 800, 275, 155, 83},
    {77, 396, 170, 115, 80, 413, 155, 80},   {258, 396, 170, 115, 263, 411, 155, 80},
    {438, 396, 170, 115, 443, 411, 155, 80}, {617, 395, 170, 115, 626, 410, 155, 80},
    {794, 393, 170, 115, 797, 408, 155, 80}, {76, 532, 170, 115, 81, 549, 155, 79},
    {256, 532, 170, 115, 261, 549, 155, 79}, {436, 532, 170, 115, 441, 549, 155, 79},
    {617, 532, 170, 115, 622, 549, 155, 79}, {796, 532, 170, 115, 801, 549, 155, 79},
}};

// Half of a length, halves rounded to the even integer.
int halfToEven(int length)
{
    return int(std::nearbyint(double(length) / 2.0));
}

// The pair's number k (1..5) as an index 0..4, or -1 when the character is not such a digit.
int markIndex(const QString &digit)
{
    if (digit.size() != 1)
        return -1;
    const QChar c = digit.at(0);
    return c >= QLatin1Char('1') && c <= QLatin1Char('5') ? c.unicode() - '1' : -1;
}

} // namespace

QuestionType questionType(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (int i = 0; i < kTypeCount; ++i)
        if (trimmed == kTypeNames[std::size_t(i)])
            return kTypes[std::size_t(i)];
    return QuestionType::None;
}

QString typeName(QuestionType type)
{
    const int i = typeIndex(type);
    return i < 0 ? QString() : kTypeNames[std::size_t(i)];
}

int typeIndex(QuestionType type)
{
    const auto it = std::find(kTypes.begin(), kTypes.end(), type);
    return it == kTypes.end() ? -1 : int(it - kTypes.begin());
}

TilePlace tilePlace(int tile)
{
    const TileRow &r = kTiles[std::size_t(std::clamp(tile, 1, kTileCount) - 1)];
    return {QRect(r.px, r.py, r.pw, r.ph), QRect(r.lx, r.ly, r.lw, r.lh)};
}

int tilesInPlay(int tileCount)
{
    return std::clamp(tileCount, 0, kTileCount);
}

TileLook tileLook(int presented, int unasked)
{
    if (presented <= 0)
        return TileLook::Number;
    return unasked > 0 ? TileLook::Started : TileLook::Finished;
}

QColor colourFromValue(int value)
{
    if (value >= 0)
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    // The scheme colours by their index in the low byte, as a classic desktop shows them.
    switch (value & 0xFF) {
    case 5: return QColor(255, 255, 255);   // window
    case 13: return QColor(10, 36, 106);    // highlight
    case 14: return QColor(255, 255, 255);  // highlight text
    case 15: return QColor(212, 208, 200);  // button face
    case 16: return QColor(128, 128, 128);  // button shadow
    case 17: return QColor(128, 128, 128);  // grey text
    case 20: return QColor(255, 255, 255);  // button highlight
    case 24: return QColor(255, 255, 225);  // tooltip ground
    default: return QColor(0, 0, 0);        // window text, button text and the rest
    }
}

int pixelsOfPoints(int points)
{
    return int(std::lround(double(points) * 96.0 / 72.0));
}

QColor optionBackground(OptionLook look)
{
    switch (look) {
    case OptionLook::Marked: return QColor(128, 128, 128);
    case OptionLook::Correct: return QColor(255, 0, 0);
    case OptionLook::Clear: break;
    }
    return QColor();
}

OptionLook toggled(OptionLook look)
{
    return look == OptionLook::Clear ? OptionLook::Marked : OptionLook::Clear;
}

QList<int> correctOptions(const QString &answer)
{
    QList<int> options;
    for (QChar c : answer)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            options << c.unicode() - 'A';
    return options;
}

QPoint markCentre(const QRect &r)
{
    return QPoint(r.left() + halfToEven(r.width()), r.top() + halfToEven(r.height()));
}

QList<Line> matchingLines(const QStringList &pairs, const std::array<QRect, kPairCount> &left,
                          const std::array<QRect, kPairCount> &right, QPoint &pen)
{
    QList<Line> lines;
    for (const QString &pair : pairs) {
        if (pair.isEmpty())
            continue;
        const int from = markIndex(pair.left(1).trimmed());
        const int to = markIndex(pair.mid(1, 1).trimmed());
        if (from >= 0)
            pen = markCentre(left[std::size_t(from)]);
        if (to >= 0) {
            const QPoint end = markCentre(right[std::size_t(to)]);
            lines << Line{pen, end};
            pen = end;
        }
    }
    return lines;
}

Tick countdownTick(int shown, int threshold)
{
    Tick t;
    const int n = shown - 1;
    if (n < 0) {
        t.stop = true;
        return t;
    }
    t.caption = n;
    t.tickSound = n <= threshold;
    t.timeUpSound = t.tickSound && n == 0;
    return t;
}

QString designCaption(QuestionType type)
{
    return type == QuestionType::Matching ? QStringLiteral("180") : QStringLiteral("46");
}

} // namespace quiz
