#pragma once
// Rules of the question bank that need no screen: the type names, which fields an export copies for
// each type, the colour references the styles are stored as, the named colours offered, the group
// numbers and the correct-answer letters of a choice question.
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace question_bank {

inline const QString kChoice = QStringLiteral("选择题");
inline const QString kAnswer = QStringLiteral("问答题");
inline const QString kPicture = QStringLiteral("图片题");
inline const QString kMatching = QStringLiteral("连线题");
inline const QString kMedia = QStringLiteral("多媒体题");
// The five types in the order the entry screen lists them.
QStringList typeNames();

// One field an export copies, with or without its surrounding blanks removed.
struct CopiedField {
    QString name;
    bool trimmed;
};
// The fields an export copies from a question of type `type` (already trimmed); none for an unknown type.
QList<CopiedField> copiedFields(const QString &type);

// Groups are the texts "1" .. "20"; anything else (after trimming) is no group.
constexpr int kGroupCount = 20;
QStringList groupNames();
bool isGroup(const QString &text);

// A colour reference: red + 256 x green + 65536 x blue; a negative value names a system colour.
constexpr int kWindowTextRef = -2147483640; // the system window-text colour
constexpr int kNavyRef = 8388608;
int colourRef(const QColor &colour);
// The colour a reference shows; system colours as the desktop's usual ones.
QColor colourOf(int ref);

// The contrast of two colours, from 1 (none) to 21 (black on white), by their relative luminance.
double contrast(const QColor &a, const QColor &b);
// The ground an editor shows `text` on: `ground` itself where the text reads well on it, else `ground`
// darkened (light text) or lightened (dark text) until it does, so its tint still tells its meaning.
QColor readableGround(const QColor &ground, const QColor &text);

// The named colours the style lists offer, in list order.
struct NamedColour {
    QString name;
    int ref;
};
const QList<NamedColour> &namedColours();

// The correct answer of a choice question: the letters of the marked options, A to F in that order.
QString answerLetters(const QList<bool> &marked);
// Which of the six options a stored answer marks; characters other than A .. F are ignored.
QList<bool> markedOptions(const QString &answer);

// Texts are kept with CR LF between lines, as the bank stores them; editors use a bare line feed.
QString toStored(const QString &editorText);
QString fromStored(const QString &storedText);

} // namespace question_bank
