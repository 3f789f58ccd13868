#include "platform/UpDown.h"

#include "text/FieldNumber.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setFixedWidth(16);
    return button;
}

} // namespace

UpDown::UpDown(QLineEdit* associate, int minimum, int maximum, bool wrap, QWidget* parent)
    : QWidget(parent), associate_(associate), up_(arrowButton(Qt::UpArrow, this)),
      down_(arrowButton(Qt::DownArrow, this)), min_(minimum), max_(maximum), wrap_(wrap),
      position_(minimum)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    // The arrows say which field they step: a window may hold several spinners.
    const QString field = associate->accessibleName();
    up_->setAccessibleName(field + QStringLiteral("を増やす"));
    down_->setAccessibleName(field + QStringLiteral("を減らす"));
    setFixedHeight(associate->sizeHint().height());
    connect(up_, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::stepDown);
    associate_->installEventFilter(this);
}

// The number the field shows, kept inside the range; the last position when the text
// is not a number.
int UpDown::currentPosition()
{
    const int shown = text::readFieldNumber(associate_->text());
    if (shown >= 0)
        position_ = std::clamp(shown, min_, max_);
    return position_;
}

void UpDown::step(int delta)
{
    int next = currentPosition() + delta;
    if (next > max_)
        next = wrap_ ? min_ : max_;
    else if (next < min_)
        next = wrap_ ? max_ : min_;
    position_ = next;
    associate_->setText(QString::number(next));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
