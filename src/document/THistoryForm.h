#pragma once

#include <QDialog>

// The modal window for opening a recently saved file.
class THistoryForm : public QDialog {
    Q_OBJECT
public:
    explicit THistoryForm(QWidget* parent = nullptr);
};
