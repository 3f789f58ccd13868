#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QListWidget;

// "過去の今日": the entries of one month and day in earlier years, each with its first line.
// Enter (or a double click) on one closes the window with that entry chosen.
class PastYearsForm : public QDialog {
    Q_OBJECT
public:
    struct Row {
        int entry; // its number in the index
        QString text;
    };

    PastYearsForm(const QString& day, const QList<Row>& rows, QWidget* parent);

    // The chosen entry, -1 when none.
    int chosenEntry() const;

    QListWidget* PastYearsList;
};
