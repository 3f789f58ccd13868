#include "platform/Controls.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIconEngine>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QPushButton>
#include <QRegularExpression>

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

QHBoxLayout* closingButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
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

class StandardIconEngine : public QIconEngine {
public:
    explicit StandardIconEngine(QStyle::StandardPixmap which) : which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("pelmora.standard"); }
    QIconEngine* clone() const override { return new StandardIconEngine(which_); }

private:
    const QIcon& icon()
    {
        if (icon_.isNull())
            icon_ = QApplication::style()->standardIcon(which_);
        return icon_;
    }

    QStyle::StandardPixmap which_;
    QIcon icon_;
};

class PictureLabel : public QLabel {
public:
    PictureLabel(QStyle::StandardPixmap which, int size, QWidget* parent)
        : QLabel(parent), which_(which), size_(size)
    {
        setMinimumSize(size, size);
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        if (pixmap().isNull())
            setPixmap(style()->standardIcon(which_).pixmap(size_, size_));
        QLabel::showEvent(event);
    }

private:
    QStyle::StandardPixmap which_;
    int size_;
};

} // namespace

QIcon lazyStandardIcon(QStyle::StandardPixmap which)
{
    return QIcon(new StandardIconEngine(which));
}

QLabel* makePictureLabel(const char* name, QStyle::StandardPixmap which, int size, QWidget* parent)
{
    auto* label = new PictureLabel(which, size, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
