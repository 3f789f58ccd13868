#include "platform/Controls.h"

#include <QApplication>
#include <QIconEngine>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>

QString spokenName(QString caption)
{
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)"));
    caption.remove(accessKey);
    caption.remove(u'&');
    caption.remove(u'：');
    return caption.trimmed();
}

void nameControl(QWidget* control, const QString& caption)
{
    control->setAccessibleName(spokenName(caption));
}

void describeDisplay(QLabel* display, const QString& caption)
{
    display->setAccessibleName(QString());
    display->setAccessibleDescription(spokenName(caption));
}

QLabel* makeFieldLabel(const QString& caption, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(field);
    nameControl(field, caption);
    return label;
}

QPushButton* makeButton(const char* name, const QString& caption, const QString& hint,
                        QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    nameControl(button, caption);
    QString shown = caption;
    shown.remove(u'&');
    // The style asks for wide buttons; where a row is short of room (the narrowest main window
    // holds seven buttons in one row) a button may shrink to its caption and a small margin.
    constexpr int margin = 12;
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(shown) + margin);
    return button;
}

QPlainTextEdit* makeMemo(const char* name, const QString& accessibleName, QWidget* parent)
{
    auto* editor = new QPlainTextEdit(parent);
    editor->setObjectName(QLatin1String(name));
    editor->setAccessibleName(accessibleName);
    editor->setTabChangesFocus(true);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 10));
    return editor;
}

QDialogButtonBox* makeButtonBox(std::initializer_list<ClosingButton> buttons, QWidget* parent)
{
    auto* box = new QDialogButtonBox(parent);
    box->setObjectName(QStringLiteral("ButtonBox"));
    for (const auto& [button, role] : buttons)
        box->addButton(button, role);
    return box;
}

FormDialog::FormDialog(QWidget* parent, Qt::WindowFlags flags, Placement placement)
    : QDialog(parent, flags), placement_(placement)
{
}

void FormDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        FormShow();
        if (placement_ == Placement::ScreenCentre)
            centreOnScreen(this);
    }
    QDialog::showEvent(event);
}

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

void centreOnScreen(QWidget* window)
{
    if (const QScreen* shown = window->screen())
        window->move(shown->availableGeometry().center() - window->rect().center());
}

namespace {

class ButtonIconEngine : public QIconEngine {
public:
    explicit ButtonIconEngine(QStyle::StandardPixmap which) : which_(which) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (mode == QIcon::Normal && isSmall(size)) {
            if (small_.isNull())
                small_ = QApplication::style()->standardPixmap(which_);
            if (!small_.isNull())
                return small_;
        }
        return full().pixmap(size, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return isSmall(size) ? size : full().actualSize(size, mode, state);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(rect.size() * scale, mode, state));
    }

    QIconEngine* clone() const override { return new ButtonIconEngine(which_); }

private:
    static constexpr int smallSide = 16;

    static bool isSmall(const QSize& size) { return size == QSize(smallSide, smallSide); }

    const QIcon& full()
    {
        if (full_.isNull())
            full_ = QApplication::style()->standardIcon(which_);
        return full_;
    }

    QStyle::StandardPixmap which_;
    QPixmap small_;
    QIcon full_;
};

} // namespace

QIcon buttonIcon(QStyle::StandardPixmap which)
{
    return QIcon(new ButtonIconEngine(which));
}

QLabel* makePictureLabel(const char* name, QStyle::StandardPixmap which, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumSize(size, size);
    label->setPixmap(label->style()->standardIcon(which).pixmap(size, size));
    return label;
}
