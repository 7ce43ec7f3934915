#include "slides.h"

#include "demo_contest.h"
#include "painting.h"
#include "portraits.h"

#include <QBuffer>
#include <QXmlStreamWriter>

namespace assetgen::slides {

using namespace paint;

namespace {

const QRectF kStage(0, 0, kWidth, kHeight);
const QColor kGold(255, 222, 140);
const QColor kCream(255, 244, 220);

// Page of 25.4 x 19.05 cm: a stage pixel is 0.0248 cm.
QString cm(qreal pixels)
{
    return QString::number(pixels * 25.4 / kWidth, 'f', 3) + QStringLiteral("cm");
}

void redStage(QPainter &p, quint32 seed)
{
    stageGradient(p, kStage, QColor(40, 2, 8), QColor(128, 12, 26), QColor(24, 0, 6), QPointF(512, 300), 560,
                  QColor(230, 70, 40, 110));
    spotlights(p, kStage, 4, seed, QColor(255, 228, 190));
    bokeh(p, kStage, 24, seed + 1, QColor(255, 200, 110));
    cornerOrnaments(p, kStage.adjusted(20, 20, -20, -20), 70);
}

// A portrait in a gold frame.
void framedPortrait(QPainter &p, const QImage &portrait, const QRectF &box)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(box.translated(8, 10), 10, 10);
    p.setBrush(QColor(214, 160, 60));
    p.drawRoundedRect(box.adjusted(-8, -8, 8, 8), 12, 12);
    p.setBrush(QColor(255, 232, 160));
    p.drawRoundedRect(box.adjusted(-3, -3, 3, 3), 8, 8);
    p.drawImage(box, portrait);
    p.restore();
}

QImage finished(QImage &image, QPainter &p)
{
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage titleBackground(const QString &title, quint32 seed)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    redStage(p, seed);
    sunburst(p, kStage, QPointF(512, 330), 32, QColor(255, 200, 100, 40));
    goldText(p, textPath(title, cjkFont(120, true, 24), QRectF(60, 220, 904, 170)));
    goldRule(p, QPointF(232, 420), QPointF(792, 420), 3);
    sparkle(p, QPointF(170, 230), 24);
    sparkle(p, QPointF(860, 400), 18);
    return finished(image, p);
}

// A person's slide: the portrait on the left, a glass panel on the right for the texts.
QImage personBackground(const QImage &portrait, const QString &heading, quint32 seed)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    redStage(p, seed);
    goldText(p, textPath(heading, cjkFont(48, true, 10), QRectF(60, 40, 904, 80)));
    goldRule(p, QPointF(212, 132), QPointF(812, 132), 2.5);
    const QSizeF size = QSizeF(portrait.size()).scaled(QSizeF(330, 420), Qt::KeepAspectRatio);
    framedPortrait(p, portrait, QRectF(QPointF(84, 190 + (420 - size.height()) / 2), size));
    glassPanel(p, QRectF(470, 180, 490, 440), 18, QColor(20, 0, 6, 150));
    return finished(image, p);
}

QImage textBackground(const QString &heading, quint32 seed)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    redStage(p, seed);
    goldText(p, textPath(heading, cjkFont(56, true, 14), QRectF(60, 50, 904, 90)));
    goldRule(p, QPointF(212, 150), QPointF(812, 150), 2.5);
    glassPanel(p, QRectF(110, 190, 804, 460), 20, QColor(20, 0, 6, 150));
    return finished(image, p);
}

struct JudgeNote {
    const char16_t *title;
    const char16_t *career;
};

const JudgeNote kJudgeNotes[] = {
    {u"评委会主席", u"音乐学院教授，从事声乐教学三十年，多次担任全国青年歌手大赛评委。"},
    {u"评委", u"国家一级演员，舞台表演经验丰富，擅长戏剧与朗诵艺术。"},
    {u"评委", u"资深节目导演，执导大型文艺晚会二十余台。"},
    {u"评委", u"舞蹈家协会会员，长期从事青少年舞蹈教育。"},
    {u"评委", u"知名主持人，主持各类赛事与文化活动上百场。"},
};

} // namespace

QList<Slide> judgesIntroduction()
{
    QList<Slide> slides;
    slides << Slide{titleBackground(QStringLiteral("评委介绍"), 301),
                    {{QRectF(60, 460, 904, 70), QStringLiteral("青春风采大赛"), 32, kCream, true}}};
    const QList<demo::Person> judges = demo::judges();
    for (int i = 0; i < judges.size(); ++i) {
        const JudgeNote &note = kJudgeNotes[i % std::size(kJudgeNotes)];
        slides << Slide{personBackground(art::judgePortrait(i, QSize(270, 338)), QStringLiteral("评委介绍"), 310 + i),
                        {{QRectF(490, 210, 450, 90), judges[i].name, 48, kGold, true},
                         {QRectF(490, 310, 450, 60), QString::fromUtf16(note.title), 26, kCream, true},
                         {QRectF(490, 390, 450, 200), QString::fromUtf16(note.career), 22, kCream, false,
                          Qt::AlignLeft}}};
    }
    return slides;
}

QList<Slide> contestantProfile(int index)
{
    const demo::Person c = demo::contestants().at(index);
    QList<Slide> slides;
    slides << Slide{personBackground(art::contestantPortrait(index, QSize(330, 328)), QStringLiteral("选手介绍"), 401),
                    {{QRectF(490, 220, 450, 100), c.name, 54, kGold, true},
                     {QRectF(490, 330, 450, 60), c.group + QStringLiteral(" · %1号选手").arg(index + 1), 26, kCream, true},
                     {QRectF(490, 410, 450, 180),
                      QStringLiteral("就读于艺术学院音乐表演专业，自幼学习声乐与钢琴。"), 22, kCream, false,
                      Qt::AlignLeft}}};
    slides << Slide{textBackground(QStringLiteral("个人简介"), 402),
                    {{QRectF(150, 220, 724, 400),
                      QStringLiteral("曾获校园十佳歌手称号；\n多次参加市青年文化节演出；\n担任学院合唱团领唱；\n"
                                     "热爱公益，坚持为社区义演。"),
                      28, kCream, false, Qt::AlignLeft}}};
    slides << Slide{textBackground(QStringLiteral("参赛宣言"), 403),
                    {{QRectF(150, 300, 724, 220), QStringLiteral("用歌声传递青春的力量，\n让梦想在舞台上闪光！"), 40,
                      kGold, true}}};
    return slides;
}

QByteArray flatPresentation(const QList<Slide> &slides)
{
    const QString office = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
    const QString style = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
    const QString text = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
    const QString draw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
    const QString fo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
    const QString svg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
    const QString font = QStringLiteral("Noto Sans CJK SC");

    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeNamespace(office, QStringLiteral("office"));
    w.writeNamespace(style, QStringLiteral("style"));
    w.writeNamespace(text, QStringLiteral("text"));
    w.writeNamespace(draw, QStringLiteral("draw"));
    w.writeNamespace(fo, QStringLiteral("fo"));
    w.writeNamespace(svg, QStringLiteral("svg"));
    w.writeStartElement(office, QStringLiteral("document"));
    w.writeAttribute(office, QStringLiteral("version"), QStringLiteral("1.2"));
    w.writeAttribute(office, QStringLiteral("mimetype"), QStringLiteral("application/vnd.oasis.opendocument.presentation"));

    // Without a styles element the office program ignores the page layout and makes 16:9 slides.
    w.writeEmptyElement(office, QStringLiteral("styles"));
    w.writeStartElement(office, QStringLiteral("automatic-styles"));
    w.writeStartElement(style, QStringLiteral("page-layout"));
    w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("PM1"));
    w.writeEmptyElement(style, QStringLiteral("page-layout-properties"));
    for (const char *margin : {"margin-top", "margin-bottom", "margin-left", "margin-right"})
        w.writeAttribute(fo, QString::fromLatin1(margin), QStringLiteral("0cm"));
    w.writeAttribute(fo, QStringLiteral("page-width"), cm(kWidth));
    w.writeAttribute(fo, QStringLiteral("page-height"), cm(kHeight));
    w.writeAttribute(style, QStringLiteral("print-orientation"), QStringLiteral("landscape"));
    w.writeEndElement();
    w.writeStartElement(style, QStringLiteral("style"));
    w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("dp1"));
    w.writeAttribute(style, QStringLiteral("family"), QStringLiteral("drawing-page"));
    w.writeEmptyElement(style, QStringLiteral("drawing-page-properties"));
    w.writeAttribute(draw, QStringLiteral("fill"), QStringLiteral("solid"));
    w.writeAttribute(draw, QStringLiteral("fill-color"), QStringLiteral("#280006"));
    w.writeEndElement();
    w.writeStartElement(style, QStringLiteral("style"));
    w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("gr1"));
    w.writeAttribute(style, QStringLiteral("family"), QStringLiteral("graphic"));
    w.writeEmptyElement(style, QStringLiteral("graphic-properties"));
    w.writeAttribute(draw, QStringLiteral("stroke"), QStringLiteral("none"));
    w.writeAttribute(draw, QStringLiteral("fill"), QStringLiteral("none"));
    w.writeAttribute(draw, QStringLiteral("auto-grow-height"), QStringLiteral("false"));
    w.writeAttribute(draw, QStringLiteral("textarea-vertical-align"), QStringLiteral("middle"));
    w.writeEndElement();
    // One paragraph style per text box.
    int n = 0;
    for (const Slide &slide : slides)
        for (const Text &t : slide.texts) {
            w.writeStartElement(style, QStringLiteral("style"));
            w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("P%1").arg(++n));
            w.writeAttribute(style, QStringLiteral("family"), QStringLiteral("paragraph"));
            w.writeEmptyElement(style, QStringLiteral("paragraph-properties"));
            w.writeAttribute(fo, QStringLiteral("text-align"),
                             t.align.testFlag(Qt::AlignLeft) ? QStringLiteral("start") : QStringLiteral("center"));
            w.writeAttribute(fo, QStringLiteral("line-height"), QStringLiteral("130%"));
            w.writeEmptyElement(style, QStringLiteral("text-properties"));
            const QString size = QString::number(t.points) + QStringLiteral("pt");
            const QString weight = t.bold ? QStringLiteral("bold") : QStringLiteral("normal");
            w.writeAttribute(fo, QStringLiteral("color"), t.colour.name());
            w.writeAttribute(fo, QStringLiteral("font-family"), font);
            w.writeAttribute(fo, QStringLiteral("font-size"), size);
            w.writeAttribute(fo, QStringLiteral("font-weight"), weight);
            w.writeAttribute(style, QStringLiteral("font-family-asian"), font);
            w.writeAttribute(style, QStringLiteral("font-size-asian"), size);
            w.writeAttribute(style, QStringLiteral("font-weight-asian"), weight);
            w.writeEndElement();
        }
    w.writeEndElement(); // automatic-styles

    w.writeStartElement(office, QStringLiteral("master-styles"));
    w.writeEmptyElement(style, QStringLiteral("master-page"));
    w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("Default"));
    w.writeAttribute(style, QStringLiteral("page-layout-name"), QStringLiteral("PM1"));
    w.writeAttribute(draw, QStringLiteral("style-name"), QStringLiteral("dp1"));
    w.writeEndElement();

    w.writeStartElement(office, QStringLiteral("body"));
    w.writeStartElement(office, QStringLiteral("presentation"));
    n = 0;
    for (int i = 0; i < slides.size(); ++i) {
        const Slide &slide = slides[i];
        w.writeStartElement(draw, QStringLiteral("page"));
        w.writeAttribute(draw, QStringLiteral("name"), QStringLiteral("page%1").arg(i + 1));
        w.writeAttribute(draw, QStringLiteral("style-name"), QStringLiteral("dp1"));
        w.writeAttribute(draw, QStringLiteral("master-page-name"), QStringLiteral("Default"));
        auto frame = [&](const QRectF &box) {
            w.writeStartElement(draw, QStringLiteral("frame"));
            w.writeAttribute(draw, QStringLiteral("style-name"), QStringLiteral("gr1"));
            w.writeAttribute(svg, QStringLiteral("x"), cm(box.x()));
            w.writeAttribute(svg, QStringLiteral("y"), cm(box.y()));
            w.writeAttribute(svg, QStringLiteral("width"), cm(box.width()));
            w.writeAttribute(svg, QStringLiteral("height"), cm(box.height()));
        };
        if (!slide.background.isNull()) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            slide.background.save(&buffer, "JPEG", 90);
            frame(kStage);
            w.writeStartElement(draw, QStringLiteral("image"));
            w.writeTextElement(office, QStringLiteral("binary-data"), QString::fromLatin1(jpeg.toBase64()));
            w.writeEndElement();
            w.writeEndElement();
        }
        for (const Text &t : slide.texts) {
            const QString styleName = QStringLiteral("P%1").arg(++n);
            frame(t.box);
            w.writeStartElement(draw, QStringLiteral("text-box"));
            for (const QString &paragraph : t.text.split(QLatin1Char('\n'))) {
                w.writeStartElement(text, QStringLiteral("p"));
                w.writeAttribute(text, QStringLiteral("style-name"), styleName);
                w.writeCharacters(paragraph);
                w.writeEndElement();
            }
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeEndElement(); // page
    }
    w.writeEndDocument();
    return bytes;
}

} // namespace assetgen::slides
