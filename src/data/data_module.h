#pragma once
// The data module: the connection to the contest database and the query objects every screen shares.
#include "connection.h"
#include "dataset.h"

#include <QObject>

class TData : public QObject {
    Q_OBJECT
public:
    explicit TData(QObject *parent = nullptr);

    // Opens "database/sys_main.db" of the program folder; throws the database's error.
    void connectTo(const QString &databasePath);

    Connection ADOConnection1;
    Dataset adoq_tmcx; // question bank grid: "select * from tiku"
    Dataset adoq_ls;   // scratch query of every screen
    Dataset adoq_sy;   // neighbour look-ups and order swaps
    Dataset adoq_ls1;  // counts of questions still to be asked, per board tile
    Dataset adoq_ctcx; // the question rows being played
    Dataset adoq_xscx; // roster grid: "select * from xsb"
    Dataset adoq_xswh; // score records grid: "select * from pwdf"
};
