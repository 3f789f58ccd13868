#include "app/SingleInstance.h"

#include "app/LocalSocket.h"
#include "storage/StateFolder.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cctype>
#include <cerrno>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace {

// One hand-over is one line: the path, percent-encoded so that no byte of it ends the line.
// The running instance answers with the line "ok".
const QByteArray answerLine = QByteArrayLiteral("ok\n");

// A later start sends its line at once; a connection that has sent none by then is dropped.
constexpr int lineWaitMs = 5000;
constexpr int answerWaitMs = 1000;
// Connections waiting for their line at once; a newer one closes the one waiting longest, so
// that connections that never send anything hold neither descriptors nor the thread.
constexpr qsizetype mostWaiting = 8;

bool answers(const QString& socketPath)
{
    localsocket::Socket socket;
    return localsocket::connectTo(socketPath, QDeadlineTimer(answerWaitMs), socket)
           == localsocket::Connect::Connected;
}

// One later start's connection, on the hand-over thread: its line is read as it comes, at most
// SingleInstance::maxHandOverBytes of it and within lineWaitMs, then answered and passed on.
// A connection that ends before its line is complete hands nothing over; one whose line does not
// fit is dropped without reading the rest.
class HandOverConnection : public QObject {
public:
    HandOverConnection(localsocket::Socket socket, SingleInstance* instance, QObject* parent)
        : QObject(parent), socket_(std::move(socket)), instance_(instance),
          notifier_(socket_.fd(), QSocketNotifier::Read, this)
    {
        connect(&notifier_, &QSocketNotifier::activated, this, &HandOverConnection::read);
        QTimer::singleShot(lineWaitMs, this, &HandOverConnection::finish);
    }

private:
    void read()
    {
        char buffer[4096];
        const ssize_t n = ::recv(socket_.fd(), buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (n <= 0) {
            finish();
            return;
        }
        line_.append(buffer, n);
        const qsizetype end = line_.indexOf('\n');
        if (end >= SingleInstance::maxHandOverBytes
            || (end < 0 && line_.size() >= SingleInstance::maxHandOverBytes)) {
            finish();
            return;
        }
        if (end >= 0)
            answer(QUrl::fromPercentEncoding(line_.left(end)));
    }

    void answer(const QString& path)
    {
        localsocket::sendAll(socket_, answerLine, QDeadlineTimer(answerWaitMs));
        finish();
        SingleInstance* instance = instance_;
        QMetaObject::invokeMethod(
            instance, [instance, path] { emit instance->handedOver(path); }, Qt::QueuedConnection);
    }

public:
    // Closed at once: its descriptor is given back before the event loop runs again.
    void finish()
    {
        notifier_.setEnabled(false);
        socket_ = localsocket::Socket();
        deleteLater();
    }

private:
    localsocket::Socket socket_;
    SingleInstance* instance_;
    QSocketNotifier notifier_;
    QByteArray line_;
};

} // namespace

// Takes the connections of later starts on the hand-over thread; the socket goes from its path
// when the instance ends.
class HandOverServer : public QObject {
public:
    explicit HandOverServer(SingleInstance* instance) : instance_(instance) {}
    ~HandOverServer() override
    {
        if (listener_.valid())
            ::unlink(QFile::encodeName(path_).constData());
    }

    // The listening socket, given before the hand-over thread starts.
    void take(localsocket::Socket listener, const QString& socketPath)
    {
        listener_ = std::move(listener);
        path_ = socketPath;
    }

    // Takes connections at the listening socket; runs on the hand-over thread, where the
    // connections are then read.
    void serve()
    {
        auto* notifier = new QSocketNotifier(listener_.fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &HandOverServer::takeConnections);
        takeConnections(); // those that came before the notifier
    }

private:
    void takeConnections()
    {
        for (;;) {
            localsocket::Socket connection = localsocket::acceptFrom(listener_);
            if (!connection.valid())
                return;
            if (waiting_.size() >= mostWaiting)
                waiting_.takeFirst()->finish();
            auto* taken = new HandOverConnection(std::move(connection), instance_, this);
            waiting_.append(taken);
            connect(taken, &QObject::destroyed, this, [this, taken] { waiting_.removeOne(taken); });
        }
    }

    SingleInstance* instance_;
    localsocket::Socket listener_;
    QString path_;
    QList<HandOverConnection*> waiting_; // oldest first
};

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)), server_(new HandOverServer(this))
{
    connect(&thread_, &QThread::finished, server_, &QObject::deleteLater);
}

SingleInstance::~SingleInstance()
{
    if (!thread_.isRunning()) {
        delete server_;
        return;
    }
    thread_.quit();
    thread_.wait();
}

namespace {

// The display the windows go to, as part of a file name: "-_0" for DISPLAY=:0, "-wayland-0" for
// a Wayland session; empty where there is none (no window system, as under test).
QString displayPart()
{
    const bool wayland = QGuiApplication::platformName().startsWith(u"wayland");
    const QByteArray display = qgetenv(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
    if (display.isEmpty())
        return {};
    QString part = QStringLiteral("-");
    for (const char c : display)
        part +=
            std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? QChar(c) : u'_';
    return part;
}

// The runtime folder Qt would use: XDG_RUNTIME_DIR, else runtime-<user> in the temporary folder.
QString expectedRuntimeFolder()
{
    const QString set = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!set.isEmpty())
        return set;
    const passwd* user = ::getpwuid(::geteuid());
    return QDir::tempPath() + QStringLiteral("/runtime-")
           + (user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid()));
}

} // namespace

SingleInstance::Place SingleInstance::userSocketPlace(const QString& fallbackFolder)
{
    // Qt gives nothing (and a warning) for a folder that is another user's.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString refused = runtime.isEmpty() ? expectedRuntimeFolder() : runtime;
    QString why = folderDistrust(refused);
    if (!runtime.isEmpty() && why.isEmpty())
        return {runtime, {}, {}};
    if (why.isEmpty())
        why = QStringLiteral("フォルダー %1 を使えません。").arg(refused);
    const bool fallback = !fallbackFolder.isEmpty() && makeStateFolder(fallbackFolder);
    return {fallback ? fallbackFolder : QString(), refused, why};
}

QString SingleInstance::userSocketPath(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/pelmora-%1%2.socket").arg(::getuid()).arg(displayPart());
}

SingleInstance::HandOver SingleInstance::handOver(const QString& socketPath, const QString& path,
                                                  int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    localsocket::Socket socket;
    switch (localsocket::connectTo(socketPath, deadline, socket)) {
    case localsocket::Connect::Connected: break;
    case localsocket::Connect::NoListener: return HandOver::NoInstance;
    case localsocket::Connect::TimedOut: return HandOver::NoAnswer;
    }
    // Connected, one listens there: whatever goes wrong now, it did not answer.
    if (!localsocket::sendAll(socket, QUrl::toPercentEncoding(path) + '\n', deadline))
        return HandOver::NoAnswer;
    return localsocket::readLine(socket, answerLine.size(), deadline) == answerLine
               ? HandOver::Taken
               : HandOver::NoAnswer;
}

// A new socket takes the place of whatever is at the path, a running instance's socket too: so
// only when none answers there.
bool SingleInstance::listen()
{
    if (server_->thread() == &thread_ || answers(socketPath_))
        return false;
    // Made here at once, so that the start does not wait for the hand-over thread to be
    // scheduled; later starts that connect before that thread serves wait in the queue.
    localsocket::Socket listener = localsocket::listenAt(socketPath_);
    if (!listener.valid())
        return false;
    server_->take(std::move(listener), socketPath_);
    server_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(server_, &HandOverServer::serve, Qt::QueuedConnection);
    return true;
}

// Two starts at once may both find no instance; the one that does not get the socket hands over
// to the one that did. When the socket cannot be made at all, the program runs without it.
SingleInstance::Start SingleInstance::start(const QString& file)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (handOver(socketPath_, file)) {
        case HandOver::Taken: return Start::HandedOver;
        case HandOver::NoAnswer: return Start::NoAnswer;
        case HandOver::NoInstance: break;
        }
        if (listen())
            return Start::Run;
    }
    return Start::Run;
}
