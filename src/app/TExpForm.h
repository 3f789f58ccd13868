#pragma once

#include <QDialog>

// The modal window for the explanation of the first steps.
class TExpForm : public QDialog {
    Q_OBJECT
public:
    explicit TExpForm(QWidget* parent = nullptr);
};
