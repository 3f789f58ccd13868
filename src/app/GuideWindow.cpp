#include "app/GuideWindow.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

GuideWindow::GuideWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), GuideText(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(QStringLiteral("使い方ガイド"));
    setAccessibleName(windowTitle());
    GuideText->setObjectName(QStringLiteral("GuideText"));
    GuideText->setAccessibleName(windowTitle());
    // Links to web pages go to the browser; the guide's own links stay here.
    GuideText->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GuideText);
    resize(720, 640);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close->setContext(Qt::WindowShortcut);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void GuideWindow::open(const QString& path)
{
    GuideText->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    show();
    raise();
    activateWindow();
}
