#include "platform/Controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QPushButton>

QPushButton* makeButton(const char* name, const QString& caption, const QString& hint,
                        QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    QString shown = caption;
    shown.remove(u'&');
    button->setAccessibleName(shown);
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
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setFont(QFont(QStringLiteral("ＭＳ ゴシック"), 10));
    return editor;
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
