#include "app/SingleInstance.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

#include <utility>

namespace {

// One hand-over is one line: the path, percent-encoded so that no byte of it ends the line.
// The running instance answers with the line "ok".
const QByteArray answerLine = QByteArrayLiteral("ok\n");

// A later start sends its line at once; a connection that has sent none by then is dropped.
constexpr int lineWaitMs = 5000;

bool answers(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(1000);
}

} // namespace

// Takes the connections of later starts on the hand-over thread: reads one line of at most
// SingleInstance::maxHandOverBytes from each, answers it there, and passes the path on to the
// instance in its own thread.
class HandOverServer : public QObject {
public:
    explicit HandOverServer(SingleInstance* instance) : instance_(instance)
    {
        server_.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server_, &QLocalServer::newConnection, this, &HandOverServer::takeConnections);
    }

    bool listen(const QString& socketPath)
    {
        QLocalServer::removeServer(socketPath);
        return server_.listen(socketPath);
    }

private:
    void takeConnections()
    {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            // The socket stops reading from the system once this much waits unread.
            socket->setReadBufferSize(SingleInstance::maxHandOverBytes);
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
            QTimer::singleShot(lineWaitMs, socket, [socket] { drop(socket); });
            read(socket); // what came with the connection
        }
    }

    static void drop(QLocalSocket* socket)
    {
        socket->abort();
        socket->deleteLater();
    }

    // A connection that ends before its line is complete hands nothing over; one whose line
    // does not fit is dropped without reading the rest.
    void read(QLocalSocket* socket)
    {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() >= SingleInstance::maxHandOverBytes)
                drop(socket);
            return;
        }
        const QString path = QUrl::fromPercentEncoding(socket->readLine().chopped(1));
        socket->write(answerLine);
        socket->disconnectFromServer(); // once the answer is written
        SingleInstance* instance = instance_;
        QMetaObject::invokeMethod(
            instance, [instance, path] { emit instance->handedOver(path); }, Qt::QueuedConnection);
    }

    SingleInstance* instance_;
    QLocalServer server_{this};
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

QString SingleInstance::userSocketPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/pelmora-%1.socket").arg(::getuid());
}

SingleInstance::HandOver SingleInstance::handOver(const QString& socketPath, const QString& path,
                                                  int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        // Refused or not there: nobody listens. Still connecting: one listens but is stuck.
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer
                                                                  : HandOver::NoInstance;
    }
    socket.write(QUrl::toPercentEncoding(path) + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return HandOver::NoAnswer;
    }
    return socket.readLine() == answerLine ? HandOver::Taken : HandOver::NoAnswer;
}

// Listening with the access option puts the new socket in place of whatever is at the path, a
// running instance's socket too: so only when none answers there.
bool SingleInstance::listen()
{
    if (answers(socketPath_))
        return false;
    if (!thread_.isRunning()) {
        server_->moveToThread(&thread_);
        thread_.start();
    }
    bool listening = false;
    QMetaObject::invokeMethod(
        server_, [&] { listening = server_->listen(socketPath_); }, Qt::BlockingQueuedConnection);
    return listening;
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
