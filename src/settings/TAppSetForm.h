#pragma once

#include <QDialog>

// The modal window for the application settings.
class TAppSetForm : public QDialog {
    Q_OBJECT
public:
    explicit TAppSetForm(QWidget* parent = nullptr);
};
