#pragma once

#include <QDialog>

// The modal window for the links to users' diaries.
class TPleaseForm : public QDialog {
    Q_OBJECT
public:
    explicit TPleaseForm(QWidget* parent = nullptr);
};
