#include "cssz_judges_tab.h"

#include "cssz_widgets.h"
#include "media/asset_paths.h"
#include "settings/settings_keys.h"
#include "ui/picture.h"
#include "ui/stage_window.h"

#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QImageReader>

namespace cssz {

namespace {

const QString kPhotoFilter = QStringLiteral("JPEG Image File (*.jpg);;JPEG Image File (*.jpeg)");

// Shows the photo file in `picture`; returns the reader's complaint for a file it cannot read.
QString showPhoto(Picture *picture, const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        picture->clear();
        return QStringLiteral("Cannot read picture \"%1\": %2").arg(path, reader.errorString());
    }
    picture->setPixmap(QPixmap::fromImage(image));
    return {};
}

} // namespace

JudgesTab::JudgesTab(StageWindow &screen) : m_screen(screen)
{
    setObjectName(QStringLiteral("TabSheet1"));
    QGroupBox *g = group(this, QStringLiteral("评委参数设置："), QRect(5, 5, 335, 630));
    label(g, QStringLiteral("评委个数："), 20, 28);
    combo_pwgs = combo(g, QStringLiteral("combo_pwgs"), 95, 28, 70, numbers(kJudges), QStringLiteral("1"));
    for (int j = 1; j <= kJudges; ++j) {
        const int y = 70 + 46 * (j - 1);
        number_labels[j - 1] = label(g, setup_rules::judgeNumberCaption(j), 20, y, 60, setup_rules::judgeNumberLabelName(j));
        ed_pw[j - 1] = edit(g, QStringLiteral("ed_pw%1").arg(j), 85, y, 140);
        but_pw[j - 1] = button(g, QStringLiteral("but_pw%1").arg(j), QStringLiteral("选择照片"), 235, y - 1, 80);

        auto *card = new QFrame(this);
        card->setObjectName(QStringLiteral("panel_pw%1").arg(j));
        card->setFrameStyle(QFrame::Panel | QFrame::Raised);
        card->setGeometry(353 + 152 * ((j - 1) % 4), 12 + 216 * ((j - 1) / 4), 139, 212);
        auto *caption = new QLabel(QStringLiteral("%1号").arg(j), card);
        caption->setGeometry(2, 2, 135, 180);
        caption->setAlignment(Qt::AlignCenter);
        Image[j - 1] = new Picture(card, QStringLiteral("Image%1").arg(j));
        Image[j - 1]->setGeometry(2, 2, 135, 180);
        Image[j - 1]->setStretch(true);
        lab_pw[j - 1] = new QLabel(card);
        lab_pw[j - 1]->setObjectName(QStringLiteral("lab_pw%1").arg(j));
        lab_pw[j - 1]->setGeometry(2, 184, 135, 26);
        lab_pw[j - 1]->setAlignment(Qt::AlignCenter);
        QFont bold = lab_pw[j - 1]->font();
        bold.setBold(true);
        lab_pw[j - 1]->setFont(bold);
        panel_pw[j - 1] = card;

        connect(ed_pw[j - 1], &QLineEdit::textChanged, this,
                [this, j](const QString &text) { lab_pw[j - 1]->setText(text.trimmed()); });
        connect(but_pw[j - 1], &QPushButton::clicked, this, [this, j] { m_screen.guard([this, j] { choosePhoto(j); }); });
    }
    // A choice applies at once; typed text once the entry is finished (Enter, Tab, leaving the box), so
    // the first digit of "10" does not hide judges on the way.
    auto apply = [this] { m_screen.guard([this] { applyJudgeCount(combo_pwgs->currentText()); }); };
    connect(combo_pwgs, &QComboBox::activated, this, apply);
    connect(combo_pwgs, &QComboBox::currentIndexChanged, this, apply);
    connect(combo_pwgs->lineEdit(), &QLineEdit::editingFinished, this, apply);
}

void JudgesTab::load()
{
    const AppContext &c = m_screen.context();
    QStringList unreadable;
    for (int j = 1; j <= kJudges; ++j) {
        judge_photo_names[j - 1] = c.settings.read(keys::kJudges, keys::judgePhoto(j));
        const QString file = c.paths.named(assets::kJudgePhotos, judge_photo_names[j - 1]);
        if (!file.isEmpty() && QFileInfo(file).isFile()) {
            const QString problem = showPhoto(Image[j - 1], file);
            if (!problem.isEmpty())
                unreadable << problem;
        } else {
            Image[j - 1]->clear();
        }
    }
    for (int j = 1; j <= kJudges; ++j) {
        const QString name = c.settings.read(keys::kJudges, keys::judgeName(j));
        ed_pw[j - 1]->setText(name);
        lab_pw[j - 1]->setText(name);
    }
    // A photo that cannot be read is said once; the screen opens without it.
    if (!unreadable.isEmpty())
        reportError(c.dialogs(), &m_screen, unreadable.join(QLatin1Char('\n')));
    const QString count = c.settings.read(keys::kJudges, keys::kJudgeCount);
    const QSignalBlocker quiet(combo_pwgs);
    combo_pwgs->setEditText(count);
    applyJudgeCount(count);
}

void JudgesTab::applyJudgeCount(const QString &text)
{
    const std::optional<int> count = setup_rules::judgeCount(text);
    if (!count)
        return;
    for (int j = 1; j <= kJudges; ++j) {
        const bool shown = j <= *count;
        number_labels[j - 1]->setVisible(shown);
        ed_pw[j - 1]->setVisible(shown);
        but_pw[j - 1]->setVisible(shown);
        panel_pw[j - 1]->setVisible(shown);
    }
}

void JudgesTab::choosePhoto(int judge)
{
    const AppContext &c = m_screen.context();
    const QString folder = c.paths.file(assets::kJudgePhotos);
    const QString chosen = c.dialogs().openFile(&m_screen, folder, kPhotoFilter);
    if (chosen.isEmpty())
        return;
    // A file that cannot be read is refused: the judge keeps the photo it had.
    checkPhoto(chosen);
    Picture trial;
    trial.loadFile(chosen);
    judge_photo_names[judge - 1] = adoptFile(chosen, folder);
    Image[judge - 1]->setPixmap(trial.pixmap());
}

void JudgesTab::fillForm(setup_rules::SettingsForm &f) const
{
    f.judgeCount = combo_pwgs->currentText();
    for (int j = 0; j < kJudges; ++j) {
        f.judgeNames[j] = ed_pw[j]->text();
        f.judgePhotos[j] = judge_photo_names[j];
    }
}

} // namespace cssz
