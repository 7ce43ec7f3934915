#pragma once
// The 设备调试 screen: a test page for twelve wireless scoring keypads and a settings page for the keypads
// and their base station. It talks to no device: only the scan buttons switch the indicators.
#include "ui/stage_window.h"

#include <QColor>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class ProjectorPage;

// A round status lamp of a given colour.
class Indicator : public QWidget {
    Q_OBJECT
public:
    explicit Indicator(QWidget *parent, const QString &name);

    void setColour(const QColor &colour);
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour = Qt::red;
};

class Tfrm_debug : public StageWindow {
    Q_OBJECT
public:
    static constexpr int kKeypads = 12;
    static inline const QColor kRed = QColor(255, 0, 0);
    static inline const QColor kGreen = QColor(0, 255, 0);

    explicit Tfrm_debug(AppContext &context);

    // 开始扫描: the keypad lamps turn red and the link lamp green. 停止扫描: the link lamp turns red.
    void startScan();
    void stopScan();

    // The pages and their widgets exist from the first opening on.
    QTabWidget *PageControl1 = nullptr;
    QWidget *tab1 = nullptr;
    QWidget *tab2 = nullptr;
    ProjectorPage *tab3 = nullptr; // the projector output (from the first opening on): display and scaling
    std::array<Indicator *, kKeypads> qd{};     // qd_1 .. qd_12
    std::array<QLabel *, kKeypads> lab_qd{};    // lab_qd1 .. lab_qd12
    std::array<QLabel *, kKeypads> RxLabel{};   // RxLabel1 .. RxLabel12
    Indicator *sm_bs = nullptr;                           // the link lamp; keeps its colour between openings
    QLabel *Label12 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QLineEdit *ed_jph = nullptr;
    QLineEdit *ed_gjtime = nullptr;
    QLineEdit *ed_jzh = nullptr;
    QLineEdit *ed_jzxdh = nullptr;
    QLineEdit *ed_kaishi = nullptr;
    QLineEdit *ed_jieshu = nullptr;

protected:
    void makeWidgets() override;
    void onShow() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void buildTestPage();
    void buildSettingsPage();
};
