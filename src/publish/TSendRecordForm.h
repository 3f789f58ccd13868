#pragma once

#include "publish/SendRecord.h"

#include <QDialog>

class QTableWidget;

// "送信の記録": the last sends, newest first: when, to which site, the files sent and the result.
class TSendRecordForm : public QDialog {
    Q_OBJECT
public:
    TSendRecordForm(const QList<SendEntry>& entries, QWidget* parent = nullptr);

    QTableWidget* SendRecordTable;
};
