#include "publish/TSendRecordForm.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TSendRecordForm::TSendRecordForm(const QList<SendEntry>& entries, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSendRecordForm"));
    setWindowTitle(QStringLiteral("送信の記録"));
    SendRecordTable = new QTableWidget(int(entries.size()), 4, this);
    SendRecordTable->setObjectName(QStringLiteral("SendRecordTable"));
    SendRecordTable->setAccessibleName(QStringLiteral("送信の記録"));
    SendRecordTable->setHorizontalHeaderLabels({QStringLiteral("日時"), QStringLiteral("送り先"),
                                                QStringLiteral("送ったファイル"),
                                                QStringLiteral("結果")});
    SendRecordTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SendRecordTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    SendRecordTable->verticalHeader()->hide();
    SendRecordTable->setWordWrap(false);
    for (int row = 0; row < entries.size(); ++row) {
        const SendEntry& entry = entries[entries.size() - 1 - row];
        const QStringList cells = {entry.when.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                                   entry.site,
                                   entry.files.isEmpty() ? QStringLiteral("（なし）")
                                                         : entry.files.join(QStringLiteral("、")),
                                   entry.result};
        for (int column = 0; column < cells.size(); ++column)
            SendRecordTable->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    SendRecordTable->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SendRecordTable);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(960, 420);
}
