#pragma once

#include <QDialog>

// The modal window for the title of today's entry.
class TDiaryTitleForm : public QDialog {
    Q_OBJECT
public:
    explicit TDiaryTitleForm(QWidget* parent = nullptr);
};
