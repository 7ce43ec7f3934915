#include "test_app.h"

class Placeholderapp : public QObject {
    Q_OBJECT
private slots:
    void nothing() {}
};

QUELMORA_TEST_MAIN(Placeholderapp)
#include "tst_app.moc"
