#include "demo_questions.h"

#include "media/asset_paths.h"
#include "media/flash/swf_writer.h"
#include "painting.h"
#include "settings/app_error.h"
#include "synth.h"

#include <QAtomicInt>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace assetgen::demo_questions {

namespace {

const QString kPictureQuestion = QStringLiteral("数三角形.jpg");
const QString kPictureAnswer = QStringLiteral("数三角形答案.jpg");
const QString kAudioClip = QStringLiteral("旋律.wav");
const QString kVideoClip = QStringLiteral("小球.avi");
const QString kFlashMovie = QStringLiteral("星星.swf");

// Colours as stored: red + 256 green + 65536 blue.
int colourValue(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

// The styles of the bank: light text with a dark shadow on the dark panels, dark ink on the light matching
// surface; sizes in points that read from the back of a hall.
struct Style {
    QString font;
    int size;
    int colour;
    int shadow;
};
const Style kQuestionOnDark{QStringLiteral("黑体"), 32, colourValue(255, 255, 255), colourValue(0, 0, 0)};
const Style kOptionOnDark{QStringLiteral("黑体"), 28, colourValue(255, 255, 255), colourValue(0, 0, 0)};
const Style kAnswerOnDark{QStringLiteral("黑体"), 36, colourValue(255, 230, 90), colourValue(0, 0, 0)};
const Style kQuestionOnLight{QStringLiteral("黑体"), 30, colourValue(20, 34, 110), colourValue(255, 255, 255)};
const Style kItemOnLight{QStringLiteral("黑体"), 26, colourValue(90, 20, 10), colourValue(255, 240, 210)};

struct Question {
    int group;
    int order;
    QString type;
    QString text; // tmmc
    QStringList answers; // da1..da6
    QString correct;     // zqda
    QString answer;      // danr
    QStringList left;    // lxz1..lxz5
    QStringList right;   // lxy1..lxy5
    Style question;
    Style options;
};

QList<Question> bank()
{
    const QString choice = QStringLiteral("选择题");
    const QString qa = QStringLiteral("问答题");
    const QString matching = QStringLiteral("连线题");
    const QString picture = QStringLiteral("图片题");
    const QString media = QStringLiteral("多媒体题");
    return {
        {1, 1, choice, QStringLiteral("下列城市中，哪两座是中国的直辖市？"),
         {QStringLiteral("上海"), QStringLiteral("杭州"), QStringLiteral("重庆"), QStringLiteral("南京")}, QStringLiteral("AC"), {}, {}, {},
         kQuestionOnDark, kOptionOnDark},
        {1, 2, choice, QStringLiteral("“床前明月光”出自哪位诗人之手？"),
         {QStringLiteral("李白"), QStringLiteral("杜甫"), QStringLiteral("白居易")}, QStringLiteral("A"), {}, {}, {}, kQuestionOnDark,
         kOptionOnDark},
        {2, 1, qa, QStringLiteral("我国第一部纪传体通史是哪一部著作？它的作者是谁？"), {}, {}, QStringLiteral("《史记》，作者是西汉的司马迁。"), {}, {},
         kQuestionOnDark, kAnswerOnDark},
        {2, 2, qa, QStringLiteral("水在标准大气压下的沸点是多少摄氏度？"), {}, {}, QStringLiteral("100摄氏度。"), {}, {}, kQuestionOnDark,
         kAnswerOnDark},
        {3, 1, matching, QStringLiteral("请把诗人与他所在的朝代连起来"), {QStringLiteral("13"), QStringLiteral("24"), QStringLiteral("31"),
                                                                   QStringLiteral("45"), QStringLiteral("52")},
         {}, {}, {QStringLiteral("屈原"), QStringLiteral("李白"), QStringLiteral("苏轼"), QStringLiteral("关汉卿"), QStringLiteral("曹雪芹")},
         {QStringLiteral("宋"), QStringLiteral("清"), QStringLiteral("战国"), QStringLiteral("唐"), QStringLiteral("元")}, kQuestionOnLight,
         kItemOnLight},
        {4, 1, picture, kPictureQuestion, {}, {}, kPictureAnswer, {}, {}, kQuestionOnDark, kOptionOnDark},
        {5, 1, media, kAudioClip, {}, {}, QStringLiteral("《两只老虎》"), {}, {}, kQuestionOnDark, kOptionOnDark},
        {6, 1, media, kVideoClip, {}, {}, QStringLiteral("绿色区域"), {}, {}, kQuestionOnDark, kOptionOnDark},
        {7, 1, media, kFlashMovie, {}, {}, QStringLiteral("五颗"), {}, {}, kQuestionOnDark, kOptionOnDark},
        {8, 1, choice, QStringLiteral("太阳系中体积最大的行星是哪一颗？"),
         {QStringLiteral("地球"), QStringLiteral("木星"), QStringLiteral("土星"), QStringLiteral("火星"), QStringLiteral("金星"),
          QStringLiteral("水星")},
         QStringLiteral("B"), {}, {}, {}, kQuestionOnDark, kOptionOnDark},
        {8, 2, qa, QStringLiteral("请说出“三原色”（光的三原色）分别是哪三种颜色。"), {}, {}, QStringLiteral("红、绿、蓝。"), {}, {}, kQuestionOnDark,
         kAnswerOnDark},
    };
}

QByteArray jpegBytes(const QImage &image, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", quality))
        throw AppError(QStringLiteral("Cannot encode a JPG picture"));
    return bytes;
}

// The triangles of the picture question: a large one cut by a line from its apex and one across it.
void triangles(QPainter &p, bool withAnswer)
{
    const QPointF apex(400, 90), left(130, 520), right(670, 520), foot(400, 520);
    const QPointF midLeft = (apex + left) / 2, midRight = (apex + right) / 2;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 40, 90), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 236, 160));
    p.drawPolygon(QPolygonF{apex, left, right});
    p.drawLine(apex, foot);
    p.drawLine(midLeft, midRight);
    if (!withAnswer)
        return;
    p.setFont(paint::cjkFont(64));
    p.setPen(QColor(200, 20, 20));
    p.drawText(QRectF(0, 530, 800, 70), Qt::AlignCenter, QStringLiteral("答案：6个三角形"));
}

QImage pictureQuestion(bool withAnswer)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 245));
    QPainter p(&image);
    p.setFont(paint::cjkFont(44));
    p.setPen(QColor(30, 40, 90));
    p.drawText(QRectF(0, 10, 800, 70), Qt::AlignCenter, QStringLiteral("图中一共有几个三角形？"));
    triangles(p, withAnswer);
    return image;
}

QByteArray melody()
{
    synth::Score s;
    s.bpm = 132;
    double beat = s.line(0, QStringLiteral("C5:1 D5:1 E5:1 C5:1 | C5:1 D5:1 E5:1 C5:1 | E5:1 F5:1 G5:2 | E5:1 F5:1 G5:2"), 0.85f,
                         synth::Voice::Piano);
    beat = s.line(beat, QStringLiteral("G5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:1 C5:1 | G5:0.5 A5:0.5 G5:0.5 F5:0.5 E5:1 C5:1 | "
                                       "C5:1 G4:1 C5:2 | C5:1 G4:1 C5:2"),
                  0.85f, synth::Voice::Piano);
    s.line(0, QStringLiteral("C3:4 C3:4 C3:4 C3:4 C3:4 C3:4 C3:4 C3:4"), 0.5f, synth::Voice::Bass);
    s.beats = beat;
    synth::Buffer out = synth::render(s, false, 1.2, 0.15f);
    synth::normalise(out, 0.85f);
    return synth::wav(out);
}

// A ball rolls over three coloured fields and comes to rest on the green one.
QByteArray ballClip()
{
    constexpr int kWidth = 480, kHeight = 360, kRate = 12, kFrames = 48;
    QList<QByteArray> frames;
    for (int f = 0; f < kFrames; ++f) {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor fields[] = {QColor(220, 60, 60), QColor(60, 170, 80), QColor(60, 90, 210)};
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRectF(i * kWidth / 3.0, 0, kWidth / 3.0 + 1, kHeight), fields[i]);
        // Eases out over the first 36 frames from the left edge to the middle field, then rests.
        const double t = std::min(1.0, f / 36.0);
        const double x = 40 + (kWidth / 2.0 - 40) * (1 - (1 - t) * (1 - t));
        const double bounce = std::abs(std::sin(t * 3 * std::numbers::pi)) * 80 * (1 - t);
        p.setPen(QPen(Qt::black, 3));
        p.setBrush(QColor(255, 230, 60));
        p.drawEllipse(QPointF(x, kHeight - 70 - bounce), 32, 32);
        p.setFont(paint::cjkFont(26));
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 8, kWidth, 40), Qt::AlignCenter, QStringLiteral("小球最后停在哪种颜色上？"));
        p.end();
        frames << jpegBytes(image, 85);
    }
    return mjpegAvi(frames, kWidth, kHeight, kRate);
}

// Five stars appear one after another on a night sky, then the count starts over.
QByteArray starMovie()
{
    constexpr int kWidth = 800, kHeight = 600, kStep = 12, kHold = 36;
    swf::Movie movie(QSize(kWidth, kHeight), 24, {10, 16, 60, 255});
    swf::Shape star;
    star.star({0, 0}, 5, 60, 26, star.addSolid({255, 214, 60, 255}));
    const int starId = movie.defineShape(star);
    const QPointF places[] = {{160, 200}, {400, 150}, {640, 220}, {270, 420}, {540, 430}};
    for (int k = 0; k < 5; ++k) {
        for (int f = 0; f < kStep; ++f) {
            const double grow = std::min(1.0, (f + 1) / 6.0);
            const swf::Matrix m = swf::Matrix::rotateScale(f * 6.0, grow, places[k]);
            if (f == 0)
                movie.place(k + 1, starId, m);
            else
                movie.move(k + 1, m);
            movie.showFrame();
        }
    }
    for (int f = 0; f < kHold; ++f)
        movie.showFrame();
    return movie.bytes();
}

void put32(QByteArray &out, quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    out.append(b, 4);
}

void put16(QByteArray &out, quint16 value)
{
    char b[2];
    qToLittleEndian(value, b);
    out.append(b, 2);
}

QByteArray chunk(const char *fourcc, const QByteArray &body)
{
    QByteArray out(fourcc, 4);
    put32(out, quint32(body.size()));
    out += body;
    if (body.size() % 2)
        out.append('\0');
    return out;
}

QByteArray list(const char *type, const QByteArray &body)
{
    return chunk("LIST", QByteArray(type, 4) + body);
}

QString connectionName()
{
    static QAtomicInt n;
    return QStringLiteral("assetgen_bank_%1").arg(n.fetchAndAddRelaxed(1));
}

// Empty texts are stored as empty, not as null, as the question entry screen stores them.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

void fail(const QSqlQuery &q)
{
    throw AppError(q.lastError().text());
}

} // namespace

QByteArray mjpegAvi(const QList<QByteArray> &jpegFrames, int width, int height, int framesPerSecond)
{
    const quint32 frames = quint32(jpegFrames.size());
    quint32 largest = 0;
    for (const QByteArray &f : jpegFrames)
        largest = std::max(largest, quint32(f.size()));

    QByteArray avih;
    put32(avih, quint32(1000000 / std::max(1, framesPerSecond)));
    put32(avih, largest * quint32(framesPerSecond));
    put32(avih, 0);
    put32(avih, 0x10); // has an index
    put32(avih, frames);
    put32(avih, 0);
    put32(avih, 1);
    put32(avih, largest);
    put32(avih, quint32(width));
    put32(avih, quint32(height));
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);

    QByteArray strh("vidsMJPG", 8);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put32(strh, 0);
    put32(strh, 1);
    put32(strh, quint32(framesPerSecond));
    put32(strh, 0);
    put32(strh, frames);
    put32(strh, largest);
    put32(strh, 0xFFFFFFFF);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, quint16(width));
    put16(strh, quint16(height));

    QByteArray strf;
    put32(strf, 40);
    put32(strf, quint32(width));
    put32(strf, quint32(height));
    put16(strf, 1);
    put16(strf, 24);
    strf += QByteArray("MJPG", 4);
    put32(strf, quint32(width * height * 3));
    for (int i = 0; i < 4; ++i)
        put32(strf, 0);

    QByteArray movi;
    QByteArray index;
    for (const QByteArray &f : jpegFrames) {
        index += QByteArray("00dc", 4);
        put32(index, 0x10); // key frame
        put32(index, quint32(4 + movi.size()));
        put32(index, quint32(f.size()));
        movi += chunk("00dc", f);
    }
    const QByteArray body = QByteArray("AVI ", 4)
                            + list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)))
                            + list("movi", movi) + chunk("idx1", index);
    return chunk("RIFF", body);
}

QList<MediaFile> files()
{
    using namespace assets;
    return {
        {kQuestionPictures + kPictureQuestion, [] { return jpegBytes(pictureQuestion(false)); }},
        {kAnswerPictures + kPictureAnswer, [] { return jpegBytes(pictureQuestion(true)); }},
        {kAudioClips + kAudioClip, melody},
        {kVideoClips + kVideoClip, ballClip},
        {kFlashClips + kFlashMovie, starMovie},
    };
}

bool addBankIfEmpty(const QString &databasePath)
{
    const QString name = connectionName();
    bool added = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath);
        try {
            if (!db.open())
                throw AppError(db.lastError().text());
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("select count(*) from tiku")) || !q.next())
                fail(q);
            if (q.value(0).toInt() == 0) {
                // All rows or none: a half-filled bank would be taken for the organiser's own next time.
                if (!db.transaction())
                    throw AppError(db.lastError().text());
                QStringList columns{QStringLiteral("qs"), QStringLiteral("tmfz"), QStringLiteral("ctsx"), QStringLiteral("tmlx"),
                                    QStringLiteral("tmmc"), QStringLiteral("zqda"), QStringLiteral("danr"), QStringLiteral("tmfont"),
                                    QStringLiteral("tmsize"), QStringLiteral("tmcolor"), QStringLiteral("tmbjs"), QStringLiteral("dafont"),
                                    QStringLiteral("dasize"), QStringLiteral("dacolor"), QStringLiteral("dabjs"), QStringLiteral("tmyes")};
                for (int k = 1; k <= 6; ++k)
                    columns << QStringLiteral("da%1").arg(k);
                for (int k = 1; k <= 5; ++k)
                    columns << QStringLiteral("lxz%1").arg(k) << QStringLiteral("lxy%1").arg(k);
                QStringList marks;
                for (qsizetype i = 0; i < columns.size(); ++i)
                    marks << QStringLiteral("?");
                if (!q.prepare(QStringLiteral("insert into tiku (%1) values (%2)")
                                   .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))))
                    fail(q);
                for (const Question &b : bank()) {
                    const QVariantList values{0, QString::number(b.group), b.order, b.type, b.text, text(b.correct), text(b.answer),
                                              b.question.font, QString::number(b.question.size), QString::number(b.question.colour),
                                              QString::number(b.question.shadow), b.options.font, QString::number(b.options.size),
                                              QString::number(b.options.colour), QString::number(b.options.shadow), false};
                    for (const QVariant &v : values)
                        q.addBindValue(v);
                    for (int k = 0; k < 6; ++k)
                        q.addBindValue(text(b.answers.value(k)));
                    for (int k = 0; k < 5; ++k)
                    {
                        q.addBindValue(text(b.left.value(k)));
                        q.addBindValue(text(b.right.value(k)));
                    }
                    if (!q.exec())
                        fail(q);
                }
                if (!db.commit())
                    throw AppError(db.lastError().text());
                added = true;
            }
            q.finish();
            db.close();
        } catch (...) {
            db.rollback();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return added;
}

} // namespace assetgen::demo_questions
