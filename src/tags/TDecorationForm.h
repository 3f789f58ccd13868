#pragma once

#include <QDialog>

// The modal window for the text decoration tags.
class TDecorationForm : public QDialog {
    Q_OBJECT
public:
    explicit TDecorationForm(QWidget* parent = nullptr);
};
