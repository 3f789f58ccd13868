#pragma once

#include <QDialog>

// The modal window for the image tag.
class TGraphicForm : public QDialog {
    Q_OBJECT
public:
    explicit TGraphicForm(QWidget* parent = nullptr);
};
