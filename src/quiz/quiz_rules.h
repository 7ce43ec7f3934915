#pragma once
// The rules of quiz play that need no widgets: question types, the board's tile places, style values,
// the marks of choice options, the pair lines of a matching question and the countdown's step.
#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

namespace quiz {

// The five question types by their stored names; anything else is None and is neither shown nor marked.
enum class QuestionType { None, Choice, Answer, Matching, Picture, Media };
inline constexpr int kTypeCount = 5;

QuestionType questionType(const QString &text); // compared after trimming
QString typeName(QuestionType type);            // "选择题" ... ; empty for None
// Index 0..4 of a type in the order choice, answer, matching, picture, multimedia; -1 for None.
int typeIndex(QuestionType type);

// --- The board ---

inline constexpr int kTileCount = 20;

struct TilePlace {
    QRect picture;
    QRect label;
};
// Where tile n (1..20) stands on the board.
TilePlace tilePlace(int tile);
// The tiles in play for a stored count: a count above 20 fills the board, 0 or less shows none.
int tilesInPlay(int tileCount);

// How a tile in play shows at a showing of the board, from its group's questions in the current issue.
enum class TileLook {
    Number,   // none presented yet: the picture with its number, clickable
    Started,  // some presented, some still to be asked: no number, still clickable to go on with the queue
    Finished, // every question presented: no number, nothing to open
};
TileLook tileLook(int presented, int unasked);

// --- Styles ---

// A stored colour in the form 0x00BBGGRR (red + 256 green + 65536 blue). Negative values name colours of
// the desktop scheme; the usual ones are mapped, any other gives black.
QColor colourFromValue(int value);
// Pixel height of a font size in points, on the 96-dot stage.
int pixelsOfPoints(int points);

// --- Choice options ---

inline constexpr int kOptionCount = 6;

// The look of an option label, which is its mark.
enum class OptionLook { Clear, Marked, Correct };
QColor optionBackground(OptionLook look); // invalid for Clear
// What a digit key makes of an option: a clear one is marked, a marked or correct one is cleared.
OptionLook toggled(OptionLook look);
// The options (0 for A .. 5 for F) that a correct answer such as "AC" names; other characters are passed over.
QList<int> correctOptions(const QString &answer);

// --- Matching lines ---

inline constexpr int kPairCount = 5;

// The centre of a mark at `r`: left + width / 2 and top + height / 2, halves rounded to the even integer.
QPoint markCentre(const QRect &r);

struct Line {
    QPoint from;
    QPoint to;
};
// The lines that pairs such as "13" draw, in order, from mark centres of the left and right marks (1..5).
// `pen` is where the pen stands before and after: a pair with a left number moves it there, a pair with a
// right number draws to that mark and leaves the pen at its end; empty pairs are skipped.
QList<Line> matchingLines(const QStringList &pairs, const std::array<QRect, kPairCount> &left,
                          const std::array<QRect, kPairCount> &right, QPoint &pen);

// --- Countdown ---

struct Tick {
    bool stop = false;        // the count is over: stop the timer, leave the caption
    int caption = 0;          // the new caption when not stopping
    bool tickSound = false;   // sound the tick of the last seconds
    bool timeUpSound = false; // then the time-up sound, at zero
};
// One second of a countdown whose caption shows `shown`, with the tick sounding from `threshold` down.
Tick countdownTick(int shown, int threshold);

// Design captions of the five countdowns before any reset.
QString designCaption(QuestionType type);

} // namespace quiz
