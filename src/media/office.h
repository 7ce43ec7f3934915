#pragma once
// The office programs and the desktop: slide shows in LibreOffice Impress, the spreadsheet export as an
// .xlsx opened in LibreOffice Calc as a new untitled document, and the desktop's viewer for the help file.
#include "media_interfaces.h"

#include <QRect>
#include <QTemporaryDir>

// Where the office program is looked for; tests point it elsewhere.
QString officeProgram();
// The office programs' own settings folder, private to this user.
QString officeProfileFolder();

// Makes the office program's document windows open over `area` (the display): a window that closed on a
// display without a window manager leaves a size of 2 x 2 pixels in the profile, and the next start would
// open that small. Rewrites the stored window places in `profileFolder`; a profile it cannot write is left.
void fitOfficeWindows(const QString &profileFolder, const QRect &area);

class LibreOfficeSlideShow : public SlideShow {
public:
    // Starts the show of a private copy, so a show ended by force leaves no lock file beside the original.
    void run(const QString &path) override;

private:
    QTemporaryDir m_copies;
};

class XlsxSpreadsheet : public Spreadsheet {
public:
    void show(const QString &caption, const QList<SheetCell> &cells) override;

private:
    QTemporaryDir m_files;
    int m_count = 0;
};

// Writes the cells to an .xlsx file whose title is `caption`; throws AppError when it cannot.
void writeXlsx(const QString &path, const QString &caption, const QList<SheetCell> &cells);

class DesktopShellOpen : public ShellOpen {
public:
    void open(const QString &path) override;
    bool hasViewer(const QString &path) const override;
};
