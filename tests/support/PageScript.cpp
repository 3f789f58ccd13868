#include "support/PageScript.h"

#include "preview/PageView.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

namespace {

// One run of the script; the engine answers on the event loop.
QVariant runOnce(PageView* view, const QString& script)
{
    QEventLoop loop;
    QVariant value;
    bool answered = false;
    view->runScript(script, [&](const QVariant& v) {
        value = v;
        answered = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!answered)
        loop.exec();
    return value;
}

} // namespace

QVariant pageValue(PageView* view, const QString& ready, const QString& script)
{
    const QDeadlineTimer deadline(30000);
    while (!runOnce(view, ready).toBool()) {
        if (deadline.hasExpired())
            return {};
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return runOnce(view, script);
}

QString shownText(PageView* view, const QString& expected)
{
    const QString innerText = QStringLiteral("document.body ? document.body.innerText : ''");
    const QString ready =
        QStringLiteral("(%1).indexOf(%2) >= 0")
            .arg(innerText, QStringLiteral("decodeURIComponent('%1')")
                                .arg(QString::fromLatin1(QUrl::toPercentEncoding(expected))));
    pageValue(view, ready, QStringLiteral("true"));
    return runOnce(view, innerText).toString();
}
