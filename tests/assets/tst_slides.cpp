// The demo slide shows: the presentations as written (pages of the stage's shape, every text kept and
// escaped), and the build tool that converts them, with and without the office program.
#include "demo_contest.h"
#include "slides.h"
#include "test_app.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kJudges = u"评委照片/评委介绍/评委介绍.ppt"_s;
const QString kProfile = u"选手照片/选手资料/李晓雯.ppt"_s;

struct Read {
    int pages = 0;
    int pictures = 0;
    QStringList paragraphs;
    QString pageWidth, pageHeight;
    bool styles = false;
};

Read read(const QByteArray &xml)
{
    Read r;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.qualifiedName();
        if (name == u"draw:page")
            ++r.pages;
        else if (name == u"office:binary-data")
            r.pictures += !QByteArray::fromBase64(reader.readElementText().toLatin1()).isEmpty();
        else if (name == u"text:p")
            r.paragraphs << reader.readElementText();
        else if (name == u"office:styles")
            r.styles = true;
        else if (name == u"style:page-layout-properties") {
            r.pageWidth = reader.attributes().value(u"fo:page-width"_s).toString();
            r.pageHeight = reader.attributes().value(u"fo:page-height"_s).toString();
        }
    }
    if (reader.hasError())
        qWarning("%s", qPrintable(reader.errorString()));
    return reader.hasError() ? Read{} : r;
}

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1) : QByteArray();
}

int runTool(const QString &programFolder, const QString &work, const QString &path, QString *output)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"PATH"_s, path);
    tool.setProcessEnvironment(env);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral(QUELMORA_SLIDES_TOOL), {programFolder, work});
    if (!tool.waitForFinished(240000))
        return -1;
    *output = QString::fromUtf8(tool.readAll());
    return tool.exitCode();
}

} // namespace

class SlidesTest : public QObject {
    Q_OBJECT
private slots:
    void presentationsHoldEveryPersonOnStageShapedPages()
    {
        const Read judges = read(assetgen::slides::flatPresentation(assetgen::slides::judgesIntroduction()));
        QCOMPARE(judges.pages, 1 + int(assetgen::demo::judges().size()));
        QCOMPARE(judges.pictures, judges.pages);
        for (const assetgen::demo::Person &j : assetgen::demo::judges())
            QVERIFY2(judges.paragraphs.contains(j.name), qPrintable(j.name));
        // 4:3 like the stage; without an office:styles element the office program would make 16:9 pages.
        QCOMPARE(judges.pageWidth, u"25.400cm"_s);
        QCOMPARE(judges.pageHeight, u"19.050cm"_s);
        QVERIFY(judges.styles);

        const Read profile = read(assetgen::slides::flatPresentation(assetgen::slides::contestantProfile(0)));
        QCOMPARE(profile.pages, 3);
        QVERIFY(profile.paragraphs.contains(assetgen::demo::contestants().first().name));
    }

    void textIsEscapedAndSplitIntoParagraphs()
    {
        assetgen::slides::Slide slide;
        slide.texts << assetgen::slides::Text{QRectF(0, 0, 100, 50), u"A<&>\"B\n第二段"_s};
        const Read r = read(assetgen::slides::flatPresentation({slide}));
        QCOMPARE(r.pages, 1);
        QCOMPARE(r.pictures, 0);
        QCOMPARE(r.paragraphs, (QStringList{u"A<&>\"B"_s, u"第二段"_s}));
    }

    // The demo roster names the profile the build makes.
    void demoRosterNamesTheProfileShow()
    {
        QStringList profiles;
        for (const assetgen::demo::Person &c : assetgen::demo::contestants())
            if (!c.profile.isEmpty())
                profiles << u"选手照片/选手资料/"_s + c.profile;
        QCOMPARE(profiles, QStringList{kProfile});
    }

    void withoutTheOfficeProgramTheShowsAreLeftOut()
    {
        QTemporaryDir folder, work;
        QString output;
        QCOMPARE(runTool(folder.path(), work.path(), folder.filePath(u"no-programs"_s), &output), 0);
        QVERIFY2(output.contains(u"LibreOffice"_s) && output.contains(kJudges) && output.contains(kProfile),
                 qPrintable(output));
        QVERIFY(!QFile::exists(folder.filePath(kJudges)));
        QVERIFY(!QFile::exists(folder.filePath(kProfile)));
    }

    void officeProgramConvertsThemOnceToPresentationFiles()
    {
        if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
            QSKIP("LibreOffice is not installed");
        QTemporaryDir folder, work;
        QString output;
        const QString path = qEnvironmentVariable("PATH");
        QCOMPARE(runTool(folder.path(), work.path(), path, &output), 0);
        for (const QString &show : {kJudges, kProfile}) {
            QFile f(folder.filePath(show));
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(output));
            QCOMPARE(f.read(4), QByteArray("\xD0\xCF\x11\xE0", 4)); // a compound document, as .ppt files are
            QVERIFY(!QFile::exists(folder.filePath(show + u".building"_s)));
        }
        // A show already there (the organiser's own) is left as it is.
        QFile own(folder.filePath(kJudges));
        QVERIFY(own.open(QIODevice::WriteOnly | QIODevice::Truncate));
        own.write("own");
        own.close();
        const QByteArray before = fileHash(folder.filePath(kProfile));
        QCOMPARE(runTool(folder.path(), work.path(), path, &output), 0);
        QVERIFY(output.isEmpty());
        QCOMPARE(fileHash(folder.filePath(kJudges)), QCryptographicHash::hash("own", QCryptographicHash::Sha1));
        QCOMPARE(fileHash(folder.filePath(kProfile)), before);
    }
};

QUELMORA_TEST_MAIN(SlidesTest)
#include "tst_slides.moc"
