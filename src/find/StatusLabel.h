#pragma once

#include <QLabel>

// A label that says how the writer's last command went ("見つかりません。"). A screen reader
// knows it as a status bar and is sent each new text as an alert, so it speaks the text while
// the focus stays in the field the writer is typing in.
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    // `caption` says what the label is; a screen reader hears it after the text shown.
    StatusLabel(const char* name, const QString& caption, QWidget* parent);

    // Shows `status`, and has a screen reader speak it when it is not empty.
    void say(const QString& status);
};
