#pragma once

#include <QWidget>

class QTextBrowser;

// The user guide, a Markdown file with its pictures, in a window of its own beside the main
// window. It is not modal; closing it (Esc too) only hides it.
class GuideWindow : public QWidget {
    Q_OBJECT
public:
    explicit GuideWindow(QWidget* parent);

    // Shows the guide at `path` and brings the window to the front.
    void open(const QString& path);

    QTextBrowser* GuideText;
};
