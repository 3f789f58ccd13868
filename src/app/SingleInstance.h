#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

// One running instance per writer. A program that starts while another one runs hands it the
// file it was given (or nothing) over a local socket and ends; the running one reports what it
// was handed.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);

    // The writer's socket: in the user's runtime folder, named after the user.
    static QString userSocketPath();

    // Hands the path (empty: none) to the instance listening at socketPath and waits until it
    // has taken it. False when no instance took it within the time.
    static bool handOver(const QString& socketPath, const QString& path, int timeoutMs = 3000);

    // Starts taking hand-overs. A socket that no instance answers on any more (one that ended
    // without closing it) is replaced. False when another instance is listening there, or the
    // socket cannot be made.
    bool listen();

signals:
    // A later start handed this over; reported from the event loop after the other end has
    // been answered. path is absolute, or empty when the later start was given no file.
    void handedOver(const QString& path);

private:
    void takeConnections();
    void readHandOver(QLocalSocket* socket);

    QString socketPath_;
    QLocalServer server_;
};
