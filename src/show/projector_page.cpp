#include "projector_page.h"

#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/guard.h"
#include "ui/shadow_label.h"
#include "ui/stage_display.h"
#include "ui/stage_pattern.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

ProjectorPage::ProjectorPage(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("tab3"));
    const QFont font = stageFont(QStringLiteral("宋体"), 16);
    auto *caption = new QLabel(QStringLiteral("投影显示器（舞台所在的显示器）："), this);
    caption->setFont(font);
    caption->setGeometry(40, 30, 600, 28);

    list_displays = new QListWidget(this);
    list_displays->setObjectName(QStringLiteral("list_displays"));
    list_displays->setFont(font);
    list_displays->setGeometry(40, 64, 600, 220);

    check_scale = new QCheckBox(QStringLiteral("按显示器分辨率缩放舞台（不选：1024 x 768 置于左上角）"), this);
    check_scale->setObjectName(QStringLiteral("check_scale"));
    check_scale->setFont(font);
    check_scale->setGeometry(40, 300, 700, 30);

    button_pattern = new QPushButton(QStringLiteral("显示测试画面"), this);
    button_pattern->setObjectName(QStringLiteral("button_pattern"));
    button_pattern->setFont(font);
    button_pattern->setGeometry(40, 350, 160, 36);

    button_save = new QPushButton(QStringLiteral("保  存"), this);
    button_save->setObjectName(QStringLiteral("button_save"));
    button_save->setFont(font);
    button_save->setGeometry(220, 350, 120, 36);

    lab_current = new QLabel(this);
    lab_current->setObjectName(QStringLiteral("lab_current"));
    lab_current->setFont(font);
    lab_current->setGeometry(40, 410, 900, 28);

    auto *hint = new QLabel(QStringLiteral("测试画面显示在所选显示器上，按 Esc 返回。保存后立即生效，下次启动仍用此显示器。"), this);
    hint->setFont(font);
    hint->setWordWrap(true);
    hint->setGeometry(40, 450, 900, 56);

    connect(button_pattern, &QPushButton::clicked, this, [this] { showPattern(); });
    connect(button_save, &QPushButton::clicked, this, [this] {
        guarded(m_context.dialogs(), window(), [this] { save(); });
    });
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this] { refresh(); });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { refresh(); });
}

ProjectorPage::~ProjectorPage() = default;

void ProjectorPage::refresh()
{
    const StageDisplay *stage = m_context.stage;
    const QScreen *current = stage ? stage->screen() : QGuiApplication::primaryScreen();
    list_displays->clear();
    for (QScreen *s : QGuiApplication::screens()) {
        QString text = StageDisplay::describe(s);
        if (s == QGuiApplication::primaryScreen())
            text += QStringLiteral("（主显示器）");
        auto *item = new QListWidgetItem(text, list_displays);
        item->setData(Qt::UserRole, s->name());
        if (s == current)
            list_displays->setCurrentItem(item);
    }
    check_scale->setChecked(!stage || stage->scaled());
    showCurrent();
}

void ProjectorPage::showCurrent()
{
    const StageDisplay *stage = m_context.stage;
    if (!stage || !stage->screen()) {
        lab_current->clear();
        return;
    }
    lab_current->setText(QStringLiteral("当前舞台：%1，缩放 %2 倍")
                             .arg(StageDisplay::describe(stage->screen()))
                             .arg(stage->scale(), 0, 'f', 2));
}

QString ProjectorPage::selectedName() const
{
    const QListWidgetItem *item = list_displays->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void ProjectorPage::showPattern()
{
    StageDisplay *stage = m_context.stage;
    if (!stage)
        return;
    // The pattern shows what the choice would look like; closing it returns to the stored choice.
    stage->apply({selectedName(), check_scale->isChecked()});
    m_pattern = std::make_unique<StagePattern>(*stage);
    connect(m_pattern.get(), &StagePattern::finished, this, [this] {
        if (m_context.stage)
            m_context.stage->apply(StageChoice::read(m_context.settings));
        showCurrent();
    });
    m_pattern->showOnStage();
}

void ProjectorPage::save()
{
    const StageChoice choice{selectedName(), check_scale->isChecked()};
    choice.write(m_context.settings);
    if (m_context.stage)
        m_context.stage->apply(choice);
    showCurrent();
    m_context.dialogs().information(window(), QStringLiteral("投影输出已保存。"));
}
