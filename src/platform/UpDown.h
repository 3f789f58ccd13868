#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of up and down arrows bound to a free edit field. The field keeps any text the writer
// types; the arrows (and the Up and Down keys in the field) step the number it shows within
// [minimum, maximum], wrapping around at the ends when asked to. The arrows are named after the
// field's accessible name, so the field is named first.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* associate, int minimum, int maximum, bool wrap, QWidget* parent = nullptr);

    int minimum() const { return min_; }
    int maximum() const { return max_; }
    bool wraps() const { return wrap_; }

    void stepUp() { step(+1); }
    void stepDown() { step(-1); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int delta);
    int currentPosition();

    QLineEdit* associate_;
    QToolButton* up_;
    QToolButton* down_;
    int min_;
    int max_;
    bool wrap_;
    int position_;
};
