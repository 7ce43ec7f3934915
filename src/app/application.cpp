#include "application.h"

#include "app/tfrm_main.h"
#include "authoring/tfrm_tmlr.h"
#include "authoring/tfrm_tmlrxt.h"
#include "quiz/tfrm_tm.h"
#include "scoring/tfrm_dfpm.h"
#include "scoring/tfrm_pfmain.h"
#include "setup/tfrm_cssz.h"
#include "show/tfrm_banjiangjm.h"
#include "show/tfrm_cj.h"
#include "show/tfrm_debug.h"
#include "show/tfrm_djs.h"
#include "show/tfrm_jz.h"
#include "show/tfrm_xsjs.h"
#include "show/tfrm_xuanchuan.h"
#include "show/tfrm_zjs.h"
#include "show/tshow_main.h"
#include "ui/shadow_label.h"

#include "ui/stage_display.h"
#include "ui/stage_window.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

Application::Application(const QString &programFolder, Services services, std::function<void(AppContext &)> started)
    : m_context(programFolder, services), m_whenStarted(std::move(started))
{
    // The projector first: every screen takes its place on it. A chosen display that is missing is said
    // on the main menu once it is up.
    m_stage = std::make_unique<StageDisplay>([this](const QString &text) {
        QTimer::singleShot(0, m_stage.get(), [this, text] { m_context.dialogs().information(m_context.screens.frm_main, text); });
    });
    m_context.stage = m_stage.get();
    QObject::connect(m_stage.get(), &StageDisplay::moved, m_stage.get(), [this] {
        for (const auto &w : m_windows) {
            if (auto *screen = qobject_cast<StageWindow *>(w.get()); screen && screen->isVisible())
                screen->takePlace();
        }
    });
    m_stage->apply(StageChoice::read(m_context.settings));
    // The menu asks for the rest once it is painted, so the organiser sees it without waiting for them.
    m_context.completeStart = [this] { completeStart(); };
    make(m_context.screens.frm_main);
}

template <typename Screen>
void Application::make(Screen *&slot)
{
    auto screen = std::make_unique<Screen>(m_context);
    slot = screen.get();
    m_order.push_back(screen.get());
    m_windows.push_back(std::move(screen));
}

void Application::completeStart()
{
    if (m_started)
        return;
    m_started = true;
    Screens &s = m_context.screens;
    make(s.show_main);
    make(s.frm_tmlr);
    make(s.frm_tmlrxt);
    m_data = std::make_unique<TData>();
    m_context.data = m_data.get();
    m_order.push_back(m_data.get());
    make(s.frm_cssz);
    make(s.frm_debug);
    make(s.frm_banjiangjm);
    make(s.frm_djs);
    make(s.frm_xuanchuan);
    make(s.frm_zjs);
    make(s.frm_pfmain);
    make(s.frm_tm);
    make(s.frm_dfpm);
    make(s.frm_xsjs);
    make(s.frm_jz);
    make(s.frm_cj);
    if (m_whenStarted)
        m_whenStarted(m_context);
}

Application::~Application()
{
    // Screens go before the data module and the context they use, last created first.
    while (!m_windows.empty())
        m_windows.pop_back();
    m_context.stage = nullptr;
}

QString defaultProgramFolder()
{
    QString folder = qEnvironmentVariable("QUELMORA_HOME");
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    folder = QDir(folder).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void installChineseTranslations()
{
    // Everyone who reads the screens reads Chinese, whatever the machine's own language.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral("/usr/share/qt6/translations")};
    for (const QString &catalogue : {QStringLiteral("qtbase"), QStringLiteral("qtmultimedia")}) {
        auto *translator = new QTranslator(qApp);
        bool loaded = false;
        for (const QString &folder : folders) {
            if ((loaded = translator->load(chinese, catalogue, QStringLiteral("_"), folder)))
                break;
        }
        if (loaded)
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Quelmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quelmora"));
    installChineseTranslations();
    installFontSubstitutions();
    // The main menu's issue label as it reads at start-up.
    startFontConfiguration(stageFont(QStringLiteral("黑体"), 35, true), QStringLiteral("第0期题目"));
    installApplicationFilters();
}
