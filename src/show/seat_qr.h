#pragma once
// A seat's QR code: the join address drawn as black modules on white with the quiet zone scanners need,
// as large as the widget allows. Its accessible name names the seat, never the address it holds.
#include <QWidget>

#include <vector>

class SeatQr : public QWidget {
    Q_OBJECT
public:
    explicit SeatQr(QWidget *parent, const QString &name);

    // Encodes `text` for `seat`; an empty text clears the code.
    void setCode(int seat, const QString &text);
    void clear() { setCode(0, {}); }
    bool isEmpty() const { return m_size == 0; }
    int seat() const { return m_seat; }
    const QString &text() const { return m_text; }
    int modules() const { return m_size; } // modules a side, quiet zone excluded

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_seat = 0;
    QString m_text;
    int m_size = 0;
    std::vector<bool> m_dark; // m_size x m_size, row by row
};
