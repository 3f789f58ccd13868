#include "app/SingleInstance.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

#include <utility>

namespace {

// One hand-over is one line: the path, percent-encoded so that no byte of it ends the line.
// The running instance answers with the line "ok".
const QByteArray answerLine = QByteArrayLiteral("ok\n");

bool answers(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(1000);
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::takeConnections);
}

QString SingleInstance::userSocketPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/pelmora-%1.socket").arg(::getuid());
}

bool SingleInstance::handOver(const QString& socketPath, const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(deadline.remainingTime()))
        return false;
    socket.write(QUrl::toPercentEncoding(path) + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(deadline.remainingTime()))
            return false;
    }
    return socket.readLine() == answerLine;
}

// Listening with the access option puts the new socket in place of whatever is at the path, a
// running instance's socket too: so only when none answers there.
bool SingleInstance::listen()
{
    if (answers(socketPath_))
        return false;
    QLocalServer::removeServer(socketPath_);
    return server_.listen(socketPath_);
}

void SingleInstance::takeConnections()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readHandOver(socket); });
    }
}

// A connection that ends before its line is complete hands nothing over.
void SingleInstance::readHandOver(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    const QString path = QUrl::fromPercentEncoding(socket->readLine().chopped(1));
    socket->write(answerLine);
    socket->flush();
    QMetaObject::invokeMethod(
        this, [this, path] { emit handedOver(path); }, Qt::QueuedConnection);
}
