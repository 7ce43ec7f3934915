#include "question_bank.h"

#include <algorithm>
#include <cmath>

namespace question_bank {

QStringList typeNames()
{
    return {kChoice, kAnswer, kPicture, kMatching, kMedia};
}

namespace {

QList<CopiedField> numbered(const QString &stem, int count, bool trimmed)
{
    QList<CopiedField> fields;
    for (int i = 1; i <= count; ++i)
        fields.append({stem + QString::number(i), trimmed});
    return fields;
}

const QList<CopiedField> kQuestionStyle = {
    {QStringLiteral("tmfont"), true}, {QStringLiteral("tmsize"), true},
    {QStringLiteral("tmcolor"), true}, {QStringLiteral("tmbjs"), true}};
const QList<CopiedField> kAnswerStyle = {
    {QStringLiteral("dafont"), true}, {QStringLiteral("dasize"), true},
    {QStringLiteral("dacolor"), true}, {QStringLiteral("dabjs"), true}};

} // namespace

QList<CopiedField> copiedFields(const QString &type)
{
    const CopiedField kind{QStringLiteral("tmlx"), true};
    if (type == kChoice)
        return QList<CopiedField>{kind, {QStringLiteral("tmmc"), false}} + kQuestionStyle + numbered(QStringLiteral("da"), 6, false)
               + QList<CopiedField>{{QStringLiteral("zqda"), true}} + kAnswerStyle;
    if (type == kAnswer)
        return QList<CopiedField>{kind, {QStringLiteral("tmmc"), false}} + kQuestionStyle
               + QList<CopiedField>{{QStringLiteral("danr"), false}} + kAnswerStyle;
    if (type == kPicture)
        return {kind, {QStringLiteral("tmmc"), true}, {QStringLiteral("danr"), true}};
    if (type == kMatching)
        return QList<CopiedField>{kind, {QStringLiteral("tmmc"), false}} + kQuestionStyle
               + QList<CopiedField>{{QStringLiteral("danr"), false}} + numbered(QStringLiteral("da"), 5, false)
               + numbered(QStringLiteral("lxz"), 5, true) + numbered(QStringLiteral("lxy"), 5, true) + kAnswerStyle;
    if (type == kMedia)
        return {kind, {QStringLiteral("tmmc"), true}};
    return {};
}

QStringList groupNames()
{
    QStringList names;
    for (int i = 1; i <= kGroupCount; ++i)
        names << QString::number(i);
    return names;
}

bool isGroup(const QString &text)
{
    return groupNames().contains(text.trimmed());
}

int colourRef(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

QColor colourOf(int ref)
{
    if (ref < 0) {
        // The system colours a style may name, as a standard desktop shows them.
        switch (ref & 0xff) {
        case 5: return Qt::white;               // window
        case 8: return Qt::black;               // window text
        case 15: return QColor(240, 240, 240);  // button face
        case 18: return Qt::black;              // button text
        default: return Qt::black;
        }
    }
    return QColor(ref & 0xff, (ref >> 8) & 0xff, (ref >> 16) & 0xff);
}

namespace {

double luminance(const QColor &colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Text that contrasts less with its ground is hard to read while typing. A darkened ground aims for a
// clearly dark box; a lightened one stops sooner, so it keeps its tint.
constexpr double kReadable = 3.0;
constexpr double kAimedDark = 7.0;
constexpr double kAimedLight = 4.5;

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableGround(const QColor &ground, const QColor &text)
{
    if (contrast(ground, text) >= kReadable)
        return ground;
    // Darker where black would contrast with the text more than white.
    const double lt = luminance(text);
    const bool darken = (lt + 0.05) / 0.05 > 1.05 / (lt + 0.05);
    const QColor g = ground.toRgb();
    QColor best = g;
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        auto mix = [&](int c) { return int(std::lround(darken ? c * (1 - t) : c + (255 - c) * t)); };
        best = QColor(mix(g.red()), mix(g.green()), mix(g.blue()));
        if (contrast(best, text) >= (darken ? kAimedDark : kAimedLight))
            break;
    }
    return best;
}

const QList<NamedColour> &namedColours()
{
    static const QList<NamedColour> colours = {
        {QStringLiteral("黑色"), 0x000000},   {QStringLiteral("栗色"), 0x000080},   {QStringLiteral("绿色"), 0x008000},
        {QStringLiteral("橄榄色"), 0x008080}, {QStringLiteral("藏青色"), 0x800000}, {QStringLiteral("紫色"), 0x800080},
        {QStringLiteral("青色"), 0x808000},   {QStringLiteral("灰色"), 0x808080},   {QStringLiteral("银色"), 0xC0C0C0},
        {QStringLiteral("红色"), 0x0000FF},   {QStringLiteral("亮绿色"), 0x00FF00}, {QStringLiteral("黄色"), 0x00FFFF},
        {QStringLiteral("蓝色"), 0xFF0000},   {QStringLiteral("紫红色"), 0xFF00FF}, {QStringLiteral("水绿色"), 0xFFFF00},
        {QStringLiteral("白色"), 0xFFFFFF},   {QStringLiteral("橙色"), 0x0080FF},   {QStringLiteral("金色"), 0x00D7FF},
        {QStringLiteral("窗口文字色"), kWindowTextRef},
    };
    return colours;
}

QString answerLetters(const QList<bool> &marked)
{
    QString letters;
    for (int k = 0; k < 6 && k < marked.size(); ++k)
        if (marked[k])
            letters += QChar(u'A' + k);
    return letters;
}

QList<bool> markedOptions(const QString &answer)
{
    QList<bool> marked(6, false);
    for (QChar c : answer)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            marked[c.unicode() - u'A'] = true;
    return marked;
}

QString toStored(const QString &editorText)
{
    QString t = editorText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t;
}

QString fromStored(const QString &storedText)
{
    QString t = storedText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

} // namespace question_bank
