#include "test_app.h"

class Placeholderdata : public QObject {
    Q_OBJECT
private slots:
    void nothing() {}
};

QUELMORA_TEST_MAIN(Placeholderdata)
#include "tst_data.moc"
