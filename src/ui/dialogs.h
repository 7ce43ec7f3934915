#pragma once
// The application's message boxes and choosers. Screens ask through this service, so tests can answer.
#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain information box with one of the application's fixed texts.
    virtual void information(QWidget *parent, const QString &text) = 0;
    // The standard error box, showing an error's own text.
    virtual void error(QWidget *parent, const QString &text) = 0;
    // A Yes/No warning box; true for Yes.
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // File choosers; an empty text when the operator cancels.
    virtual QString openFile(QWidget *parent, const QString &startFolder, const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &startFolder, const QString &filter) = 0;
    virtual std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) = 0;
    virtual std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial) = 0;
};

// The real boxes and choosers.
class WidgetDialogs : public Dialogs {
public:
    void information(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    bool confirm(QWidget *parent, const QString &text) override;
    QString openFile(QWidget *parent, const QString &startFolder, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &startFolder, const QString &filter) override;
    std::optional<QFont> chooseFont(QWidget *parent, const QFont &initial) override;
    std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial) override;
};
