#pragma once

#include <QDialog>

// The modal window for the HTML settings.
class THtmlForm : public QDialog {
    Q_OBJECT
public:
    explicit THtmlForm(QWidget* parent = nullptr);
};
