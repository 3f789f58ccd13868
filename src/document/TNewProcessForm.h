#pragma once

#include <QDialog>

// The modal window for the choice of loading the base template for a new diary.
class TNewProcessForm : public QDialog {
    Q_OBJECT
public:
    explicit TNewProcessForm(QWidget* parent = nullptr);
};
