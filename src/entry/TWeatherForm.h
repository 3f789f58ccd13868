#pragma once

#include <QDialog>

// The modal window for the colour of a weather not in the list.
class TWeatherForm : public QDialog {
    Q_OBJECT
public:
    explicit TWeatherForm(QWidget* parent = nullptr);
};
