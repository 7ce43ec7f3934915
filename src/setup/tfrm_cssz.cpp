#include "tfrm_cssz.h"

#include "cssz_judges_tab.h"
#include "cssz_roster_tab.h"
#include "cssz_scores_tab.h"
#include "cssz_system_tab.h"
#include "cssz_widgets.h"
#include "setup_rules.h"
#include "ui/key_codes.h"

#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableView>

namespace {

const QString kSaved = QStringLiteral("参数数据已经成功保存！");
const QString kSaveFailed = QStringLiteral("参数数据保存失败，请检查！");
const QString kDropEdits = QStringLiteral("参数已经修改，还没有保存。确定要退出并放弃这些修改吗？");

} // namespace

Tfrm_cssz::Tfrm_cssz(AppContext &context) : StageWindow(context, QStringLiteral("frm_cssz"))
{
    setWindowTitle(QStringLiteral("参数设置"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(5, 5, 1010, 695);

    Bar1 = new QProgressBar(this);
    Bar1->setObjectName(QStringLiteral("Bar1"));
    Bar1->setGeometry(8, 708, 681, 29);
    Bar1->setRange(0, 100);
    Bar1->hide();
    Button1 = cssz::button(this, QStringLiteral("Button1"), QStringLiteral("保 存"), 742, 709, 90, 30);
    Button2 = cssz::button(this, QStringLiteral("Button2"), QStringLiteral("退 出"), 846, 709, 90, 30);
    connect(Button1, &QPushButton::clicked, this, [this] { guard([this] { save(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guard([this] { leave(); }); });
}

void Tfrm_cssz::makeWidgets()
{
    show_xtcssz = new cssz::SystemTab(*this);
    TabSheet1 = new cssz::JudgesTab(*this);
    TabSheet2 = new cssz::RosterTab(*this);
    TabSheet3 = new cssz::ScoresTab(*this);
    PageControl1->addTab(show_xtcssz, QStringLiteral("系统参数设置"));
    PageControl1->addTab(TabSheet1, QStringLiteral("评委参数设置"));
    PageControl1->addTab(TabSheet2, QStringLiteral("选手参数设置"));
    PageControl1->addTab(TabSheet3, QStringLiteral("选手得分表"));
}

void Tfrm_cssz::onShow()
{
    Bar1->hide();
    show_xtcssz->ed_djs->clear();
    TabSheet2->clearInputs();
    PageControl1->setCurrentWidget(show_xtcssz);
    // Esc closes the screen while the window itself has the focus: it has it when it opens.
    setFocus();

    // Whatever part of the opening ran, what it left in the widgets is what a later edit is told from.
    try {
        show_xtcssz->loadScoring();
        TabSheet2->loadCount();
        TabSheet1->load(); // stops the opening here when the judge count is not a number
        show_xtcssz->loadQuiz();
        show_xtcssz->fillPresets();
        TabSheet2->openList();
        TabSheet3->listAll();
        TabSheet2->fillCountChoices();
    } catch (...) {
        m_shown = form();
        throw;
    }
    m_shown = form();
}

setup_rules::SettingsForm Tfrm_cssz::form() const
{
    setup_rules::SettingsForm f;
    show_xtcssz->fillForm(f);
    TabSheet2->fillForm(f);
    TabSheet1->fillForm(f);
    return f;
}

void Tfrm_cssz::leave()
{
    if (form() != m_shown && !context().dialogs().confirm(this, kDropEdits))
        return;
    closeScreen();
}

void Tfrm_cssz::save()
{
    auto progress = [this](int value) {
        Bar1->setValue(value);
        Bar1->repaint();
    };
    Bar1->setValue(10);
    Bar1->show();
    const setup_rules::SettingsForm edited = form();
    progress(20);
    progress(50);
    QList<IniFile::Entry> entries;
    try {
        // A value the readers cannot convert or use is refused before anything is written.
        setup_rules::checkForm(edited);
        entries = setup_rules::saveEntries(edited);
    } catch (...) {
        Bar1->hide();
        throw;
    }
    try {
        context().settings.writeAll(entries);
    } catch (const AppError &e) {
        // Nothing of the save is stored: the file stays as it was. The operator reads why.
        Bar1->hide();
        context().dialogs().information(this, kSaveFailed + QLatin1Char('\n') + e.message());
        return;
    }
    progress(100);
    context().dialogs().information(this, kSaved);
    Bar1->hide();
    closeScreen();
}

bool Tfrm_cssz::keyUp(int key, Qt::KeyboardModifiers)
{
    // The screen leaves every key to its widgets; Esc closes it only from the window itself.
    if (key == vk::Escape && (!focusWidget() || focusWidget() == this)) {
        leave();
        return true;
    }
    return false;
}

bool Tfrm_cssz::keyDown(int key, Qt::KeyboardModifiers, bool)
{
    if (key == vk::Delete && focusWidget() == TabSheet3->DBGridEh2) {
        TabSheet3->Button9->click();
        return true;
    }
    return false;
}

void Tfrm_cssz::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient ground(0, 0, 0, height());
    ground.setColorAt(0, Qt::black);
    ground.setColorAt(1, QColor(240, 251, 255));
    p.fillRect(rect(), ground);
}
