#pragma once
// The matching page 连线题维护界面 of the entry screen: the question, five left and five right items,
// their number buttons, and the connections drawn with the mouse from a left number to a right number.
// Each right item holds at most one pair code (left number, then right number, "31").
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

class Picture;
class QAction;
class QFrame;
class QPlainTextEdit;
class QPushButton;
class ShadowLabel;

class MatchingPage : public QWidget {
    Q_OBJECT
public:
    explicit MatchingPage(QWidget *parent);

    Picture *Image9;
    QPlainTextEdit *ed_lxttm;
    QList<QPlainTextEdit *> leftItems;  // ed_lxtz1 .. ed_lxtz5
    QList<QPlainTextEdit *> rightItems; // ed_lxty1 .. ed_lxty5
    QList<QPushButton *> leftNumbers;   // but_z1 .. but_z5
    QList<QPushButton *> rightNumbers;  // but_y1 .. but_y5
    QFrame *Panel_lxttmxg;
    ShadowLabel *Lab_lxttmxg;
    QFrame *Panel_lxtdaxg;
    ShadowLabel *Lab_lxtdaxg;
    QAction *N1, *N2, *N3;

    // Slot k holds the pair code of right item k + 1, or nothing.
    QStringList pair_slots;
    int pending_left = 0;

    // The page picture: the file when it exists, else the built-in one. Lines drawn so far vanish.
    void setPictureFile(const QString &path) { m_pictureFile = path; }
    void reloadPicture();
    // Empties the connections and erases their lines.
    void clearConnections();
    void clickLeft(int n);
    void clickRight(int m);
    // Redraws stored connections: for each code, from its left number (when one of 1..5) to its right.
    void restoreConnections(const QStringList &codes);
    // The five trimmed slots joined: the connections as one text.
    QString connections() const;
    // The number of lines drawn since the picture was last loaded.
    int linesDrawn() const { return m_lines; }
    static QPoint centre(const QWidget *button);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void lineTo(const QPoint &to);

    QString m_pictureFile;
    QPoint m_pen;
    int m_lines = 0;
};
