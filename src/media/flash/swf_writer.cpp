#include "swf_writer.h"

#include "settings/durable_file.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace swf {

namespace {

constexpr int kTwips = 20; // SWF lengths are in twentieths of a pixel
constexpr int kShowFrame = 1;
constexpr int kSetBackgroundColor = 9;
constexpr int kPlaceObject2 = 26;
constexpr int kRemoveObject2 = 28;
constexpr int kDefineShape3 = 32;
constexpr int kFileAttributes = 69;
constexpr int kVersion = 10;

int twips(double pixels)
{
    return int(std::lround(pixels * kTwips));
}

QPoint twips(QPointF p)
{
    return {twips(p.x()), twips(p.y())};
}

void putU8(QByteArray &out, int v)
{
    out.append(char(v & 0xff));
}

void putU16(QByteArray &out, int v)
{
    putU8(out, v);
    putU8(out, v >> 8);
}

void putU32(QByteArray &out, quint32 v)
{
    putU16(out, int(v & 0xffff));
    putU16(out, int(v >> 16));
}

void putRgba(QByteArray &out, const Rgba &c)
{
    putU8(out, c.r);
    putU8(out, c.g);
    putU8(out, c.b);
    putU8(out, c.a);
}

// The bits a signed field needs to hold `v`, sign bit included.
int signedBits(qint64 v)
{
    int bits = 1;
    while (v < -(qint64(1) << (bits - 1)) || v >= (qint64(1) << (bits - 1)))
        ++bits;
    return bits;
}

int unsignedBits(quint32 v)
{
    int bits = 0;
    while (v >> bits)
        ++bits;
    return bits;
}

// Packs bit fields most significant bit first, as SWF records are laid out.
class Bits {
public:
    explicit Bits(QByteArray &out) : m_out(out) {}
    ~Bits() { align(); }

    void u(quint32 value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            m_byte = quint8((m_byte << 1) | ((value >> i) & 1));
            if (++m_used == 8)
                flushByte();
        }
    }
    void s(qint32 value, int bits) { u(quint32(value) & (bits >= 32 ? 0xffffffffu : ((1u << bits) - 1)), bits); }
    void align()
    {
        if (m_used > 0) {
            m_byte = quint8(m_byte << (8 - m_used));
            flushByte();
        }
    }

private:
    void flushByte()
    {
        m_out.append(char(m_byte));
        m_byte = 0;
        m_used = 0;
    }
    QByteArray &m_out;
    quint8 m_byte = 0;
    int m_used = 0;
};

void putRect(QByteArray &out, int xmin, int xmax, int ymin, int ymax)
{
    const int bits = std::max({signedBits(xmin), signedBits(xmax), signedBits(ymin), signedBits(ymax)});
    Bits b(out);
    b.u(quint32(bits), 5);
    b.s(xmin, bits);
    b.s(xmax, bits);
    b.s(ymin, bits);
    b.s(ymax, bits);
}

qint32 fixed16(double v)
{
    return qint32(std::lround(v * 65536.0));
}

void putMatrix(QByteArray &out, const Matrix &m)
{
    Bits b(out);
    const qint32 sx = fixed16(m.sx), sy = fixed16(m.sy);
    const bool hasScale = sx != 65536 || sy != 65536;
    b.u(hasScale, 1);
    if (hasScale) {
        const int bits = std::max(signedBits(sx), signedBits(sy));
        b.u(quint32(bits), 5);
        b.s(sx, bits);
        b.s(sy, bits);
    }
    const qint32 r0 = fixed16(m.r0), r1 = fixed16(m.r1);
    const bool hasRotate = r0 != 0 || r1 != 0;
    b.u(hasRotate, 1);
    if (hasRotate) {
        const int bits = std::max(signedBits(r0), signedBits(r1));
        b.u(quint32(bits), 5);
        b.s(r0, bits);
        b.s(r1, bits);
    }
    const int tx = twips(m.tx), ty = twips(m.ty);
    const int bits = (tx == 0 && ty == 0) ? 0 : std::max(signedBits(tx), signedBits(ty));
    b.u(quint32(bits), 5);
    b.s(tx, bits);
    b.s(ty, bits);
}

void putColourTransform(QByteArray &out, const ColourTransform &t)
{
    const auto fixed8 = [](double v) { return qint32(std::lround(v * 256.0)); };
    const qint32 mult[] = {fixed8(t.mr), fixed8(t.mg), fixed8(t.mb), fixed8(t.ma)};
    const qint32 add[] = {t.ar, t.ag, t.ab, t.aa};
    int bits = 1;
    for (int i = 0; i < 4; ++i)
        bits = std::max({bits, signedBits(mult[i]), signedBits(add[i])});
    Bits b(out);
    b.u(1, 1); // add terms
    b.u(1, 1); // multiply terms
    b.u(quint32(bits), 4);
    for (qint32 v : mult)
        b.s(v, bits);
    for (qint32 v : add)
        b.s(v, bits);
}

void putGradient(QByteArray &out, const QList<GradientStop> &stops)
{
    putU8(out, int(std::min<qsizetype>(stops.size(), 15))); // pad and interpolation modes 0
    for (int i = 0; i < std::min<qsizetype>(stops.size(), 15); ++i) {
        putU8(out, stops[i].ratio);
        putRgba(out, stops[i].colour);
    }
}

} // namespace

Matrix Matrix::rotateScale(double degrees, double scale, QPointF move)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {scale * std::cos(a), scale * std::sin(a), -scale * std::sin(a), scale * std::cos(a), move.x(), move.y()};
}

ColourTransform ColourTransform::paint(Rgba colour)
{
    ColourTransform t;
    t.mr = t.mg = t.mb = 0;
    t.ar = colour.r;
    t.ag = colour.g;
    t.ab = colour.b;
    return t;
}

ColourTransform ColourTransform::fade(double alpha)
{
    ColourTransform t;
    t.ma = alpha;
    return t;
}

// ---- Shape

int Shape::addSolid(Rgba colour)
{
    m_fills.append({0x00, colour, {}, {}});
    return int(m_fills.size());
}

int Shape::addRadial(QPointF centre, double radius, const QList<GradientStop> &stops)
{
    // The gradient square spans -16384..16384 twips; the matrix maps it onto the shape.
    const double scale = radius * kTwips / 16384.0;
    Matrix m{scale, 0, 0, scale, centre.x(), centre.y()};
    m_fills.append({0x12, {}, m, stops});
    return int(m_fills.size());
}

int Shape::addLinear(QPointF from, QPointF to, const QList<GradientStop> &stops)
{
    const double length = std::hypot(to.x() - from.x(), to.y() - from.y());
    const double degrees = std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / std::numbers::pi;
    Matrix m = Matrix::rotateScale(degrees, length * kTwips / 32768.0, (from + to) / 2);
    m_fills.append({0x10, {}, m, stops});
    return int(m_fills.size());
}

void Shape::moveTo(QPointF point, int fill)
{
    m_segments.append({Segment::Move, {}, twips(point), fill});
}

void Shape::lineTo(QPointF point)
{
    m_segments.append({Segment::Line, {}, twips(point), 0});
}

void Shape::quadTo(QPointF control, QPointF anchor)
{
    m_segments.append({Segment::Curve, twips(control), twips(anchor), 0});
}

void Shape::rect(const QRectF &r, int fill)
{
    polygon({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()}, fill);
}

void Shape::polygon(const QList<QPointF> &points, int fill)
{
    if (points.isEmpty())
        return;
    moveTo(points.first(), fill);
    for (qsizetype i = 1; i < points.size(); ++i)
        lineTo(points[i]);
    lineTo(points.first());
}

void Shape::circle(QPointF centre, double radius, int fill)
{
    // Eight quadratic arcs of 45 degrees; each control point lies on the bisector at r / cos(22.5).
    const double step = std::numbers::pi / 4;
    const double controlRadius = radius / std::cos(step / 2);
    moveTo(centre + QPointF(radius, 0), fill);
    for (int i = 0; i < 8; ++i) {
        const double mid = step * (i + 0.5), end = step * (i + 1);
        quadTo(centre + QPointF(controlRadius * std::cos(mid), controlRadius * std::sin(mid)),
               centre + QPointF(radius * std::cos(end), radius * std::sin(end)));
    }
}

void Shape::star(QPointF centre, int points, double outer, double inner, int fill, double turnDegrees)
{
    QList<QPointF> corners;
    for (int i = 0; i < points * 2; ++i) {
        const double angle = (turnDegrees - 90.0) * std::numbers::pi / 180.0 + std::numbers::pi * i / points;
        const double r = (i % 2 == 0) ? outer : inner;
        corners.append(centre + QPointF(r * std::cos(angle), r * std::sin(angle)));
    }
    polygon(corners, fill);
}

QByteArray Shape::defineShape3(int id) const
{
    QByteArray out;
    putU16(out, id);

    int xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool first = true;
    for (const Segment &s : m_segments) {
        QList<QPoint> pts{s.anchor};
        if (s.kind == Segment::Curve)
            pts.append(s.control);
        for (const QPoint &p : pts) {
            if (first) {
                xmin = xmax = p.x();
                ymin = ymax = p.y();
                first = false;
            }
            xmin = std::min(xmin, p.x());
            xmax = std::max(xmax, p.x());
            ymin = std::min(ymin, p.y());
            ymax = std::max(ymax, p.y());
        }
    }
    putRect(out, xmin, xmax, ymin, ymax);

    // Fill styles; no line styles.
    putU8(out, int(m_fills.size()));
    for (const FillStyle &f : m_fills) {
        putU8(out, f.kind);
        if (f.kind == 0x00) {
            putRgba(out, f.colour);
        } else {
            putMatrix(out, f.matrix);
            putGradient(out, f.stops);
        }
    }
    putU8(out, 0);

    const int fillBits = std::max(1, unsignedBits(quint32(m_fills.size())));
    Bits b(out);
    b.u(quint32(fillBits), 4);
    b.u(0, 4);
    QPoint pen(0, 0);
    for (const Segment &s : m_segments) {
        if (s.kind == Segment::Move) {
            // Style change: move to an absolute point and select fill style 1 (fill 0 cleared).
            b.u(0, 1);
            b.u(0, 1); // new styles
            b.u(0, 1); // line style
            b.u(1, 1); // fill style 1
            b.u(1, 1); // fill style 0
            b.u(1, 1); // move to
            const int bits = std::max(signedBits(s.anchor.x()), signedBits(s.anchor.y()));
            b.u(quint32(bits), 5);
            b.s(s.anchor.x(), bits);
            b.s(s.anchor.y(), bits);
            b.u(0, fillBits);
            b.u(quint32(s.fill), fillBits);
            pen = s.anchor;
        } else if (s.kind == Segment::Line) {
            const QPoint d = s.anchor - pen;
            if (d.isNull())
                continue;
            const int bits = std::max({2, signedBits(d.x()), signedBits(d.y())});
            b.u(1, 1);
            b.u(1, 1);
            b.u(quint32(bits - 2), 4);
            b.u(1, 1); // general line
            b.s(d.x(), bits);
            b.s(d.y(), bits);
            pen = s.anchor;
        } else {
            const QPoint c = s.control - pen, a = s.anchor - s.control;
            const int bits = std::max({2, signedBits(c.x()), signedBits(c.y()), signedBits(a.x()), signedBits(a.y())});
            b.u(1, 1);
            b.u(0, 1);
            b.u(quint32(bits - 2), 4);
            b.s(c.x(), bits);
            b.s(c.y(), bits);
            b.s(a.x(), bits);
            b.s(a.y(), bits);
            pen = s.anchor;
        }
    }
    b.u(0, 6); // end of shape
    return out;
}

// ---- Movie

Movie::Movie(QSize stage, double framesPerSecond, Rgba background) : m_stage(stage), m_rate(framesPerSecond)
{
    QByteArray attributes;
    putU32(attributes, 0); // no network access, timeline scripts only
    tag(kFileAttributes, attributes);
    QByteArray colour;
    putU8(colour, background.r);
    putU8(colour, background.g);
    putU8(colour, background.b);
    tag(kSetBackgroundColor, colour);
}

void Movie::tag(int code, const QByteArray &body)
{
    if (body.size() < 0x3f) {
        putU16(m_tags, (code << 6) | int(body.size()));
    } else {
        putU16(m_tags, (code << 6) | 0x3f);
        putU32(m_tags, quint32(body.size()));
    }
    m_tags.append(body);
}

int Movie::defineShape(const Shape &shape)
{
    const int id = m_nextId++;
    tag(kDefineShape3, shape.defineShape3(id));
    return id;
}

void Movie::placeObject(int flags, int depth, int character, const Matrix *matrix, const ColourTransform *tint)
{
    if (matrix)
        flags |= 0x04;
    if (tint)
        flags |= 0x08;
    QByteArray body;
    putU8(body, flags);
    putU16(body, depth);
    if (flags & 0x02)
        putU16(body, character);
    if (matrix)
        putMatrix(body, *matrix);
    if (tint)
        putColourTransform(body, *tint);
    tag(kPlaceObject2, body);
}

void Movie::place(int depth, int character, const Matrix &matrix, const ColourTransform *tint)
{
    placeObject(0x02, depth, character, &matrix, tint);
}

void Movie::move(int depth, const Matrix &matrix, const ColourTransform *tint)
{
    placeObject(0x01, depth, 0, &matrix, tint);
}

void Movie::tint(int depth, const ColourTransform &tint)
{
    placeObject(0x01, depth, 0, nullptr, &tint);
}

void Movie::remove(int depth)
{
    QByteArray body;
    putU16(body, depth);
    tag(kRemoveObject2, body);
}

void Movie::showFrame()
{
    tag(kShowFrame, {});
    ++m_frames;
}

QByteArray Movie::bytes(bool compressed) const
{
    QByteArray body;
    putRect(body, 0, m_stage.width() * kTwips, 0, m_stage.height() * kTwips);
    putU16(body, int(std::lround(m_rate * 256.0))); // 8.8 fixed point
    putU16(body, m_frames);
    body.append(m_tags);
    putU16(body, 0); // End

    QByteArray file = compressed ? QByteArrayLiteral("CWS") : QByteArrayLiteral("FWS");
    putU8(file, kVersion);
    putU32(file, quint32(8 + body.size()));
    if (compressed)
        file.append(qCompress(body, 9).mid(4)); // qCompress puts a length before the zlib stream
    else
        file.append(body);
    return file;
}

bool Movie::write(const QString &path, bool compressed) const
{
    // A write that fails (a full disk) keeps the old movie.
    try {
        durable::replaceFile(path, bytes(compressed));
        return true;
    } catch (const durable::WriteError &) {
        return false;
    }
}

// ---- Frame-coded movies

Rgba frameColour(int frame)
{
    frame = ((frame % 256) + 256) % 256;
    return {(frame % 16) * 16 + 8, (frame / 16) * 16 + 8, 200, 255};
}

int frameOfColour(int red, int green, int blue)
{
    if (std::abs(blue - 200) > 24)
        return -1;
    const int low = std::clamp(red / 16, 0, 15);
    const int high = std::clamp(green / 16, 0, 15);
    if (std::abs(red - (low * 16 + 8)) > 6 || std::abs(green - (high * 16 + 8)) > 6)
        return -1;
    return high * 16 + low;
}

Movie frameCodedMovie(QSize stage, double framesPerSecond, int frames)
{
    Movie movie(stage, framesPerSecond, {24, 24, 24, 255});
    Shape plate;
    plate.rect(QRectF(QPointF(0, 0), QSizeF(stage)), plate.addSolid({255, 255, 255, 255}));
    const int id = movie.defineShape(plate);
    for (int frame = 0; frame < std::clamp(frames, 1, 256); ++frame) {
        const ColourTransform colour = ColourTransform::paint(frameColour(frame));
        if (frame == 0)
            movie.place(1, id, {}, &colour);
        else
            movie.tint(1, colour);
        movie.showFrame();
    }
    return movie;
}

// ---- The award animation

bool writeAwardAnimation(const QString &path)
{
    constexpr int kWidth = 1024, kHeight = 768, kFrames = 96;
    constexpr double kRate = 24;
    const QPointF centre(kWidth / 2.0, kHeight / 2.0 - 20);
    const Rgba gold{255, 204, 64, 255}, paleGold{255, 236, 150, 255}, deepGold{214, 140, 24, 255};
    Movie movie(QSize(kWidth, kHeight), kRate, {92, 8, 16, 255});

    // Solid, half-transparent fills only: gradients over large areas cost the emulator several times more
    // CPU per frame. A warm glow of stacked discs behind everything...
    Shape glow;
    for (int k = 0; k < 10; ++k)
        glow.circle({0, 0}, 440 - k * 38, glow.addSolid({255, 130 + k * 9, 40 + k * 5, 16}));
    const int glowId = movie.defineShape(glow);

    // ...and twelve rays, brighter near the middle.
    const auto rayShape = [](double length, int alpha) {
        Shape rays;
        const int fill = rays.addSolid({255, 220, 120, alpha});
        for (int i = 0; i < 12; ++i) {
            const double a = i * std::numbers::pi / 6, half = std::numbers::pi / 60;
            rays.polygon({{0, 0},
                          {length * std::cos(a - half), length * std::sin(a - half)},
                          {length * std::cos(a + half), length * std::sin(a + half)}},
                         fill);
        }
        return rays;
    };
    const int raysId = movie.defineShape(rayShape(660, 22));
    const int innerRaysId = movie.defineShape(rayShape(380, 22));

    // A gold frame around the stage.
    Shape frame;
    const int frameFill = frame.addSolid(gold);
    frame.rect(QRectF(18, 18, kWidth - 36, 6), frameFill);
    frame.rect(QRectF(18, kHeight - 24, kWidth - 36, 6), frameFill);
    frame.rect(QRectF(18, 24, 6, kHeight - 48), frameFill);
    frame.rect(QRectF(kWidth - 24, 24, 6, kHeight - 48), frameFill);
    const int frameId = movie.defineShape(frame);

    // The small stars of the ring and the big centre star, shaded from pale to deep gold.
    Shape smallStar;
    smallStar.star({0, 0}, 5, 30, 13, smallStar.addLinear({0, -30}, {0, 30}, {{0, paleGold}, {255, deepGold}}));
    const int smallStarId = movie.defineShape(smallStar);
    Shape bigStar;
    bigStar.star({0, 0}, 5, 150, 62, bigStar.addLinear({-60, -150}, {60, 120}, {{0, paleGold}, {140, gold}, {255, deepGold}}));
    bigStar.star({0, 0}, 5, 92, 38, bigStar.addSolid({255, 240, 180, 90}));
    const int bigStarId = movie.defineShape(bigStar);

    // Four-pointed sparkles.
    Shape sparkle;
    sparkle.star({0, 0}, 4, 12, 3, sparkle.addSolid({255, 248, 210, 255}));
    const int sparkleId = movie.defineShape(sparkle);

    struct Spot {
        double x, y, phase;
    };
    const Spot sparkles[] = {{120, 110, 0.0},  {260, 640, 0.3},  {900, 140, 0.55}, {820, 620, 0.8},
                             {70, 420, 0.15},  {960, 400, 0.65}, {400, 70, 0.4},   {640, 700, 0.9},
                             {180, 260, 0.7},  {860, 300, 0.2},  {330, 520, 0.45}, {700, 110, 0.05},
                             {540, 730, 0.35}, {950, 700, 0.6},  {60, 690, 0.85},  {610, 40, 0.25}};
    constexpr int kRingStars = 10;

    const auto wave = [](double t, double phase) { return std::sin(2 * std::numbers::pi * (t + phase)); };
    for (int f = 0; f < kFrames; ++f) {
        const double t = double(f) / kFrames; // one loop, so the last frame joins the first
        const Matrix glowMatrix = Matrix::rotateScale(0, 1.0 + 0.06 * wave(t, 0), centre);
        const Matrix raysMatrix = Matrix::rotateScale(30.0 * t, 1.0, centre);
        const Matrix bigMatrix = Matrix::rotateScale(8.0 * wave(t, 0.25), 1.0 + 0.05 * wave(2 * t, 0), centre);
        int depth = 1;
        const auto show = [&](int id, const Matrix &m, const ColourTransform *tint) {
            if (f == 0)
                movie.place(depth, id, m, tint);
            else
                movie.move(depth, m, tint);
            ++depth;
        };
        show(glowId, glowMatrix, nullptr);
        show(raysId, raysMatrix, nullptr);
        show(innerRaysId, raysMatrix, nullptr);
        if (f == 0)
            movie.place(depth, frameId);
        ++depth;
        for (int i = 0; i < kRingStars; ++i) {
            const double angle = (-36.0 * t + 36.0 * i) * std::numbers::pi / 180.0;
            const QPointF at = centre + QPointF(290 * std::cos(angle), 250 * std::sin(angle));
            show(smallStarId, Matrix::rotateScale(-36.0 * t * 2, 1.0 + 0.18 * wave(t, double(i) / kRingStars), at),
                 nullptr);
        }
        show(bigStarId, bigMatrix, nullptr);
        for (const Spot &s : sparkles) {
            const double glint = 0.5 + 0.5 * wave(2 * t, s.phase);
            const ColourTransform fade = ColourTransform::fade(glint);
            show(sparkleId, Matrix::rotateScale(45.0 * t, 0.4 + 0.9 * glint, {s.x, s.y}), &fade);
        }
        movie.showFrame();
    }
    return movie.write(path, true);
}

} // namespace swf
