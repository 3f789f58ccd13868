#include "support/PageScript.h"

#include "preview/PageView.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

// One run of the script; the engine answers on the event loop. An answer that comes after the
// wait has given up finds no one waiting (on a busy machine a long page can take that long).
QVariant runOnce(PageView* view, const QString& script)
{
    struct Answer {
        QVariant value;
        bool given = false;
        QEventLoop* waiting = nullptr;
    };
    auto answer = std::make_shared<Answer>();
    view->runScript(script, [answer](const QVariant& v) {
        answer->value = v;
        answer->given = true;
        if (answer->waiting)
            answer->waiting->quit();
    });
    if (!answer->given) {
        QEventLoop loop;
        answer->waiting = &loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        answer->waiting = nullptr;
    }
    return answer->value;
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
