#pragma once

// What the find and date list benchmarks share: the generated diary with a word put in many of
// its lines, and a shown window holding an editor with its find bar.

#include "DiaryGenerator.h"
#include "find/FindBar.h"
#include "text/Cp932.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QSize>
#include <QStringList>
#include <QWidget>

// The generated diary's lines, `word` put in front of `matches` of them spread evenly, starting
// at line `first`.
inline QStringList markedLines(qsizetype megabytes, int matches, const QString& word,
                               qsizetype first)
{
    QStringList lines = text::decodeCp932(generateDiary(megabytes)).split(QStringLiteral("\r\n"));
    const qsizetype step = lines.size() / matches;
    for (qsizetype i = 0; i < matches; ++i)
        lines[i * step + first].prepend(word);
    return lines;
}

// An editor that does not wrap its lines and its find bar, laid out along `direction` in a
// window of `size`, shown. More may be added to the layout beside them.
struct FindWindow {
    FindWindow(QBoxLayout::Direction direction, QSize size)
        : layout(new QBoxLayout(direction, &window)), editor(new QPlainTextEdit(&window)),
          bar(new FindBar("FindBar", editor, &window))
    {
        editor->setLineWrapMode(QPlainTextEdit::NoWrap);
        layout->addWidget(editor, 1);
        layout->addWidget(bar);
        window.resize(size);
        window.show();
    }

    QWidget window;
    QBoxLayout* layout;
    QPlainTextEdit* editor;
    FindBar* bar;
};
