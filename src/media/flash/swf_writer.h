#pragma once
// A small writer of Flash movies (SWF): solid and gradient shapes, placed, moved and tinted frame by frame.
// It makes the default award animation and movies whose frame number can be read back from the screen.
#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

namespace swf {

struct Rgba {
    int r = 0;
    int g = 0;
    int b = 0;
    int a = 255;
};

struct GradientStop {
    int ratio; // 0..255 along the gradient
    Rgba colour;
};

// An affine transform in pixels: x' = sx*x + r1*y + tx, y' = r0*x + sy*y + ty.
struct Matrix {
    double sx = 1, r0 = 0, r1 = 0, sy = 1, tx = 0, ty = 0;
    // Rotation by `degrees` (clockwise on screen) and uniform `scale` about the origin, then a move.
    static Matrix rotateScale(double degrees, double scale, QPointF move);
};

// Multiplies then adds to each channel of what it tints (multipliers 1 and additions 0 leave it as is).
struct ColourTransform {
    double mr = 1, mg = 1, mb = 1, ma = 1;
    int ar = 0, ag = 0, ab = 0, aa = 0;
    // Paints every pixel in one colour, keeping the shape's alpha.
    static ColourTransform paint(Rgba colour);
    static ColourTransform fade(double alpha);
};

// The outline and fills of one shape, in pixels. Each sub-path is closed and filled with one fill style.
class Shape {
public:
    int addSolid(Rgba colour);
    int addRadial(QPointF centre, double radius, const QList<GradientStop> &stops);
    int addLinear(QPointF from, QPointF to, const QList<GradientStop> &stops);

    void moveTo(QPointF point, int fill);
    void lineTo(QPointF point);
    void quadTo(QPointF control, QPointF anchor);

    void rect(const QRectF &rect, int fill);
    void polygon(const QList<QPointF> &points, int fill);
    void circle(QPointF centre, double radius, int fill);
    // A star of `points` tips between the two radii, its first tip straight up.
    void star(QPointF centre, int points, double outer, double inner, int fill, double turnDegrees = 0);

    // The body of a DefineShape3 tag for character `id`.
    QByteArray defineShape3(int id) const;

private:
    struct FillStyle {
        int kind; // 0x00 solid, 0x10 linear, 0x12 radial
        Rgba colour;
        Matrix matrix;
        QList<GradientStop> stops;
    };
    struct Segment {
        enum Kind { Move, Line, Curve } kind;
        QPoint control; // twips
        QPoint anchor;  // twips
        int fill;
    };
    QList<FillStyle> m_fills;
    QList<Segment> m_segments;
};

// A movie built frame by frame; bytes() gives the file.
class Movie {
public:
    Movie(QSize stage, double framesPerSecond, Rgba background);

    int defineShape(const Shape &shape); // the new character's id
    void place(int depth, int character, const Matrix &matrix = {}, const ColourTransform *tint = nullptr);
    void move(int depth, const Matrix &matrix, const ColourTransform *tint = nullptr);
    void tint(int depth, const ColourTransform &tint);
    void remove(int depth);
    void showFrame();

    int frameCount() const { return m_frames; }
    // The whole file: "FWS" plain or "CWS" with the body compressed.
    QByteArray bytes(bool compressed = false) const;
    // Replaces the file whole; false, with the old file kept, when it cannot be written.
    bool write(const QString &path, bool compressed = false) const;

private:
    void tag(int code, const QByteArray &body);
    void placeObject(int flags, int depth, int character, const Matrix *matrix, const ColourTransform *tint);

    QSize m_stage;
    double m_rate;
    QByteArray m_tags;
    int m_nextId = 1;
    int m_frames = 0;
};

// A movie whose whole stage shows one colour per frame that names the frame (frameOfColour reads it back),
// looping through `frames` frames (at most 256).
Movie frameCodedMovie(QSize stage, double framesPerSecond, int frames);
// The colour of frame `frame` in such a movie.
Rgba frameColour(int frame);
// The frame a pixel of such a movie shows, or -1 when the pixel is not one of its colours.
int frameOfColour(int red, int green, int blue);

// The default award ceremony animation: gold stars, rays and sparkles on dark red, looping every few
// seconds, 1024 x 768. Returns false when the file cannot be written.
bool writeAwardAnimation(const QString &path);

} // namespace swf
