#include "tmlrxt_media.h"

#include "media/media_interfaces.h"
#include "tmlrxt_pages.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/guard.h"
#include "ui/picture.h"
#include "ui/shadow_label.h"

#include <QFileInfo>
#include <QLabel>

namespace {

const QString kPictureFilter = QStringLiteral("图片文件（*.jpg;*.jpeg;*.bmp;*.gif;*.png）(*.jpg *.jpeg *.bmp *.gif *.png);;所有文件（*.*）(*)");
const QString kMediaFilter = QStringLiteral(
    "视频文件（*.dat;*.mpg;*.mpeg;*.avi;*.wmv）(*.dat *.mpg *.mpeg *.avi *.wmv);;Flash文件（*.swf）(*.swf);;"
    "音频文件（*.mp3;*.wav;*.wma）(*.mp3 *.wav *.wma);;所有文件（*.*）(*)");
const QRect kPlayArea(0, 0, 1024, 768);
// Video keeps to the part of the play area below the settings bar, so the whole clip is seen beside the
// bar's save and exit buttons.
const QRect kVideoArea(0, 94, 1024, 674);

QString folderPath(const AppContext &c, const QString &folder)
{
    QString path = c.paths.file(folder);
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The quiz finds a stored file by its bare name in its folder, and files are never copied there: a file
// chosen elsewhere (or another file of that name already there) is said at once, while it can be moved.
void sayWhenElsewhere(AppContext &c, QWidget *dialogParent, const QString &chosen, const QString &folder)
{
    const QString expected = c.paths.named(folder, QFileInfo(chosen).fileName());
    if (QFileInfo(chosen).canonicalFilePath() == QFileInfo(expected).canonicalFilePath())
        return;
    QString shown = folder;
    if (shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    c.dialogs().information(dialogParent, QStringLiteral("所选文件不在“%1”文件夹中。比赛时将按文件名在该文件夹中查找它，"
                                                         "请在比赛前把文件放入该文件夹。")
                                              .arg(shown.replace(QLatin1Char('/'), QLatin1Char('\\'))));
}

// The extension as the kinds compare it: after the last dot, at most five characters, trimmed.
QString extensionOf(const QString &name)
{
    const QString n = name.trimmed();
    const qsizetype dot = n.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : n.mid(dot + 1, 5).trimmed();
}

} // namespace

PicturePage::PicturePage(QWidget *parent, AppContext &context) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("show_tupianti"));
    auto *background = new Picture(this, QStringLiteral("show_tupianti_background"));
    background->setGeometry(0, 0, 1024, 768);
    background->setPixmap(builtInBackground(QStringLiteral("图片题维护界面"), QSize(1024, 768)));
    // Both pictures unscaled from the top left of the page below the header.
    Image_tpttm = new Picture(this, QStringLiteral("Image_tpttm"));
    Image_tpttm->setGeometry(0, 94, 1024, 674);
    Image_tptda = new Picture(this, QStringLiteral("Image_tptda"));
    Image_tptda->setGeometry(0, 94, 1024, 674);
    Image_tptda->hide();
}

void PicturePage::forget()
{
    chosenQuestion.clear();
    chosenAnswer.clear();
    Image_tpttm->clear();
    Image_tptda->clear();
}

void PicturePage::showSide(bool question)
{
    Image_tpttm->setVisible(question);
    Image_tptda->setVisible(!question);
}

void PicturePage::chooseQuestion(QWidget *dialogParent)
{
    chosenQuestion = m_context.dialogs().openFile(dialogParent, folderPath(m_context, assets::kQuestionPictures), kPictureFilter);
    if (chosenQuestion.isEmpty())
        return;
    Image_tpttm->loadFile(chosenQuestion);
    sayWhenElsewhere(m_context, dialogParent, chosenQuestion, assets::kQuestionPictures);
}

void PicturePage::chooseAnswer(QWidget *dialogParent)
{
    chosenAnswer = m_context.dialogs().openFile(dialogParent, folderPath(m_context, assets::kAnswerPictures), kPictureFilter);
    if (chosenAnswer.isEmpty())
        return;
    Image_tptda->loadFile(chosenAnswer);
    sayWhenElsewhere(m_context, dialogParent, chosenAnswer, assets::kAnswerPictures);
}

void PicturePage::load(const QString &question, const QString &answer, QWidget *dialogParent)
{
    const QString answerPath = m_context.paths.named(assets::kAnswerPictures, answer);
    if (!Image_tptda->loadIfExists(answerPath))
        m_context.dialogs().information(dialogParent, QStringLiteral("此道题答案图片不存在或者位置不正确，请重新选择答案图片！"));
    const QString questionPath = m_context.paths.named(assets::kQuestionPictures, question);
    if (!Image_tpttm->loadIfExists(questionPath))
        m_context.dialogs().information(dialogParent, QStringLiteral("此道题题目图片不存在或者位置不正确，请重新选择题目图片！"));
}

QString PicturePage::questionName() const
{
    return chosenQuestion.isEmpty() ? QString() : QFileInfo(chosenQuestion).fileName();
}

QString PicturePage::answerName() const
{
    return chosenAnswer.isEmpty() ? QString() : QFileInfo(chosenAnswer).fileName();
}

MediaPage::MediaPage(QWidget *parent, AppContext &context) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("show_media"));
    Panel_media = new QWidget(this);
    Panel_media->setObjectName(QStringLiteral("Panel_media"));
    Panel_media->setGeometry(kPlayArea);
    Panel_media->setAutoFillBackground(true);
    QPalette p = Panel_media->palette();
    p.setColor(QPalette::Window, QColor(20, 40, 90));
    Panel_media->setPalette(p);
    Panel_media->setFocusPolicy(Qt::StrongFocus);
    caption = new QLabel(QStringLiteral("播放区"), Panel_media);
    caption->setGeometry(kPlayArea);
    caption->setAlignment(Qt::AlignCenter);
    caption->setFont(stageFont(QStringLiteral("黑体"), 72, true));
    caption->setStyleSheet(QStringLiteral("color: yellow;"));
    Media = context.services.media->createMediaPlayer(this);
    Flash1 = context.services.media->createFlashPlayer(Panel_media);
    Flash1->widget()->setObjectName(QStringLiteral("Flash1"));
    Flash1->widget()->setGeometry(kPlayArea);
    Flash1->widget()->hide();
}

void MediaPage::hideFlash()
{
    Flash1->widget()->hide();
}

void MediaPage::preview(const QString &path)
{
    hideFlash();
    Flash1->stop();
    Media->setFileName(path.trimmed());
    m_open = assets::MediaKind::None;
    Media->open();
    Media->setDisplay(Panel_media, kVideoArea);
    m_open = assets::mediaKind(path);
    Media->play();
}

void MediaPage::playFlash(const QString &path)
{
    Flash1->widget()->setGeometry(kPlayArea);
    Flash1->widget()->show();
    Flash1->widget()->raise();
    Media->close();
    Flash1->setMovie(path);
    m_open = assets::MediaKind::Flash;
    Flash1->play();
}

void MediaPage::choose(QWidget *dialogParent)
{
    chosenFile = m_context.dialogs().openFile(dialogParent, folderPath(m_context, assets::kMediaRoot), kMediaFilter);
    if (chosenFile.trimmed().isEmpty())
        return;
    media_ext = extensionOf(chosenFile);
    switch (assets::mediaKind(chosenFile)) {
    case assets::MediaKind::Audio:
    case assets::MediaKind::Video: preview(chosenFile); break;
    case assets::MediaKind::Flash: playFlash(chosenFile); break;
    case assets::MediaKind::None: break;
    }
    if (const assets::MediaKind kind = assets::mediaKind(chosenFile); kind != assets::MediaKind::None)
        sayWhenElsewhere(m_context, dialogParent, chosenFile.trimmed(), assets::mediaFolder(kind));
}

void MediaPage::load(const QString &stored)
{
    hideFlash();
    const QString name = stored.trimmed();
    media_ext = extensionOf(name);
    const assets::MediaKind kind = assets::mediaKind(name);
    const QString path = m_context.paths.named(assets::mediaFolder(kind), name);
    if (kind == assets::MediaKind::None || path.isEmpty())
        return;
    if (kind == assets::MediaKind::Flash) {
        playFlash(path);
        return;
    }
    Media->setFileName(path);
    m_open = assets::MediaKind::None;
    Media->open();
    Media->setDisplay(kind == assets::MediaKind::Video ? Panel_media : nullptr, kVideoArea);
    m_open = kind;
    Media->play();
}

void MediaPage::play()
{
    if (m_open == assets::MediaKind::Flash)
        Flash1->play();
    else if (m_open != assets::MediaKind::None)
        Media->play();
}

void MediaPage::pause()
{
    if (m_open == assets::MediaKind::Flash)
        Flash1->stop();
    else if (m_open != assets::MediaKind::None)
        Media->pause();
}

void MediaPage::stop()
{
    if (m_open == assets::MediaKind::Flash)
        Flash1->stop();
    else if (m_open != assets::MediaKind::None)
        Media->stop();
}

void MediaPage::stopPreview()
{
    Panel_media->setFocus();
    if (m_open == assets::MediaKind::Flash) {
        Flash1->stop();
        hideFlash();
    } else if (m_open != assets::MediaKind::None) {
        Media->stop();
        Media->close();
    }
    m_open = assets::MediaKind::None;
}

void MediaPage::leave()
{
    Media->close();
    Flash1->stop();
    m_open = assets::MediaKind::None;
}

QString MediaPage::fileName() const
{
    if (chosenFile.trimmed().isEmpty())
        return {};
    return QFileInfo(chosenFile.trimmed()).fileName();
}
