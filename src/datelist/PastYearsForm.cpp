#include "datelist/PastYearsForm.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

PastYearsForm::PastYearsForm(const QString& day, const QList<Row>& rows, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PastYearsForm"));
    setWindowTitle(QStringLiteral("過去の今日"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("過去の%1の日記(&L)：").arg(day), this);
    layout->addWidget(caption);
    PastYearsList = new QListWidget(this);
    PastYearsList->setObjectName(QStringLiteral("PastYearsList"));
    PastYearsList->setAccessibleName(QStringLiteral("過去の%1の日記").arg(day));
    caption->setBuddy(PastYearsList);
    for (const Row& row : rows) {
        auto* item = new QListWidgetItem(row.text, PastYearsList);
        item->setData(Qt::UserRole, row.entry);
    }
    PastYearsList->setCurrentRow(0);
    PastYearsList->setMinimumWidth(420);
    layout->addWidget(PastYearsList);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* go = buttons->addButton(QStringLiteral("移動(&G)"), QDialogButtonBox::AcceptRole);
    go->setObjectName(QStringLiteral("PastYearsGoBtn"));
    buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(PastYearsList, &QListWidget::itemActivated, this, &QDialog::accept);
}

int PastYearsForm::chosenEntry() const
{
    const QListWidgetItem* item = PastYearsList->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}
