#pragma once
// The demo slide shows: the judges' introduction and one contestant's profile, written as flat
// OpenDocument presentations (one XML file) that the office program converts to ".ppt" at build time.
// Pictures are backgrounds drawn here; names and texts stay real text, so organisers can edit them.
#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

namespace assetgen::slides {

// A text box on a slide, placed in 1024 x 768 stage pixels.
struct Text {
    QRectF box;
    QString text; // '\n' separates paragraphs
    int points = 28;
    QColor colour = Qt::white;
    bool bold = false;
    Qt::Alignment align = Qt::AlignHCenter;
};

struct Slide {
    QImage background; // 1024 x 768
    QList<Text> texts;
};

// The judges' introduction "评委介绍.ppt": a title slide, then one slide per demo judge.
QList<Slide> judgesIntroduction();
// The profile of demo contestant `index` (0-based): portrait and name, a short biography, a motto.
QList<Slide> contestantProfile(int index);

// The presentation as flat OpenDocument XML (".fodp"), 4:3 slides, pictures embedded as JPEG.
QByteArray flatPresentation(const QList<Slide> &slides);

} // namespace assetgen::slides
