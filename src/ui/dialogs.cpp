#include "dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace {
const QString kTitle = QStringLiteral("Quelmora");
}

void WidgetDialogs::information(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, kTitle, text);
}

void WidgetDialogs::error(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, kTitle, text);
}

bool WidgetDialogs::confirm(QWidget *parent, const QString &text)
{
    return QMessageBox::warning(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

QString WidgetDialogs::openFile(QWidget *parent, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), startFolder, filter);
}

QString WidgetDialogs::saveFile(QWidget *parent, const QString &startFolder, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), startFolder, filter);
}

std::optional<QFont> WidgetDialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> WidgetDialogs::chooseColour(QWidget *parent, const QColor &initial)
{
    const QColor colour = QColorDialog::getColor(initial, parent);
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}
