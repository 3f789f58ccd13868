#include "platform/Controls.h"

#include <QPlainTextEdit>
#include <QPushButton>

QPushButton* makeButton(const char* name, const QString& caption, const QString& hint,
                        QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    QString spoken = caption;
    spoken.remove(u'&');
    button->setAccessibleName(spoken);
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
