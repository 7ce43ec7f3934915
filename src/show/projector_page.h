#pragma once
// The keypad test screen's page for the projector output: the connected displays with their names and
// sizes, whether to scale the stage, a test pattern on the chosen display, and saving the choice.
#include <QWidget>

#include <memory>

class AppContext;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class StagePattern;

class ProjectorPage : public QWidget {
    Q_OBJECT
public:
    ProjectorPage(AppContext &context, QWidget *parent);
    ~ProjectorPage() override;

    // Lists the displays again and selects the stage's.
    void refresh();
    void showPattern();
    void save();

    QListWidget *list_displays;
    QCheckBox *check_scale;
    QPushButton *button_pattern;
    QPushButton *button_save;
    QLabel *lab_current;
    StagePattern *pattern() const { return m_pattern.get(); }

private:
    QString selectedName() const;
    void showCurrent();

    AppContext &m_context;
    std::unique_ptr<StagePattern> m_pattern;
};
