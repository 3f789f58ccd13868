#pragma once

#include <QDialog>

// The modal window for the version information.
class THelpVerForm : public QDialog {
    Q_OBJECT
public:
    explicit THelpVerForm(QWidget* parent = nullptr);
};
