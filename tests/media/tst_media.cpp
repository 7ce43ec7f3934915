#include "test_app.h"

class Placeholdermedia : public QObject {
    Q_OBJECT
private slots:
    void nothing() {}
};

QUELMORA_TEST_MAIN(Placeholdermedia)
#include "tst_media.moc"
