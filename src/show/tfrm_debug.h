#pragma once
// The 设备调试 screen: a test page for twelve wireless scoring keypads and a settings page for the keypads
// and their base station. It talks to no keypad: only the scan buttons switch the indicators. Where the
// program has the judges' phones, a further page turns their link on and off; while it is on, the twelve
// lamps are the judges' seats, and choosing one shows the QR code and the code that pair a phone with it.
#include "ui/stage_window.h"

#include <QColor>
#include <QStringList>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class ProjectorPage;
class SeatQr;
namespace judging {
class JudgeLink;
}

// A round status lamp of a given colour.
class Indicator : public QWidget {
    Q_OBJECT
public:
    explicit Indicator(QWidget *parent, const QString &name);

    // `description` says the colour in words; without one, red or green as the keypads know them.
    void setColour(const QColor &colour, const QString &description = {});
    QColor colour() const { return m_colour; }
    // A chosen seat wears a thick dark ring.
    void setChosen(bool chosen);
    bool isChosen() const { return m_chosen; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_colour = Qt::red;
    bool m_chosen = false;
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

    // The judges' phones (only where the program has them). 开启 starts the link on the chosen address
    // and port and saves both; 关闭 stops it; 全部更换令牌 unpairs every seat after the operator's yes.
    void startPhones();
    void stopPhones();
    void renewTokens();
    // Shows seat `seat`'s QR code and a new pairing code; 0 hides them.
    void chooseSeat(int seat);
    void resetChosenSeat();
    void newCodeForChosenSeat();
    // Shows the chosen seat's QR code large over the lamps, or takes it away.
    void showBigQr(bool shown);
    int chosenSeat() const { return m_chosenSeat; }

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

    // The phones' page and, on tab1, the seats' states and the chosen seat's pairing.
    QWidget *tab_phones = nullptr;
    QComboBox *cb_address = nullptr;
    QSpinBox *ed_port = nullptr;
    QPushButton *btn_refresh = nullptr;
    QPushButton *btn_start = nullptr;
    QPushButton *btn_stop = nullptr;
    QPushButton *btn_renew = nullptr;
    QLabel *lab_phones = nullptr;
    std::array<QLabel *, kKeypads> lab_seat{}; // lab_seat1 .. lab_seat12: the seat's state in words
    QFrame *panel_seat = nullptr;
    QLabel *lab_seat_title = nullptr;
    SeatQr *qr_seat = nullptr;
    QLabel *lab_code_caption = nullptr;
    QLabel *lab_code = nullptr;
    QLabel *lab_code_expiry = nullptr;
    QLabel *lab_join_hint = nullptr;
    QPushButton *btn_reset = nullptr;
    QPushButton *btn_new_code = nullptr;
    QPushButton *btn_hide_qr = nullptr;
    QPushButton *btn_big_qr = nullptr;
    QFrame *panel_qr_big = nullptr; // the chosen seat's QR code over the lamps, to scan from afar
    QLabel *lab_qr_big = nullptr;
    SeatQr *qr_big = nullptr;
    QPushButton *btn_close_big = nullptr;

protected:
    void makeWidgets() override;
    void onShow() override;
    bool keyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool keyUp(int key, Qt::KeyboardModifiers modifiers) override;

private:
    void buildTestPage();
    void buildSettingsPage();
    void buildPhonesPage();
    void buildSeatPanel();
    void fillAddresses();
    bool phonesOn() const;
    void showLink();  // the page as the link's state says: keypad lamps while off, seats while on
    void showSeats();
    void showChosenSeat();
    QString judgeName(int seat) const;
    void readJudgeNames();
    void askSecondDevice(int seat);
    void askWaitingSeats();

    judging::JudgeLink *m_link = nullptr;
    int m_chosenSeat = 0;
    int m_codeSeat = 0; // the seat the pairing code on show belongs to
    int m_judgeCount = 12; // the contest's judges: only their seats are offered
    bool m_resetting = false; // a seat is being reset: it is shown anew once that is done
    bool m_asking = false; // a second device's question is up
    QStringList m_judgeNames; // from 评委设置, read at each opening
};
