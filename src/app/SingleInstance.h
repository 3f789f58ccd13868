#pragma once

#include <QObject>
#include <QString>
#include <QThread>

class HandOverServer;

// One running instance per writer and display. A program that starts while another one runs hands
// it the file it was given (or nothing) over a local socket and ends; the running one reports what
// it was handed.
//
// Hand-overs are taken and answered on a thread of their own, so a running instance whose window
// is busy (opening a large diary) still answers at once; the path waits in the window's event
// loop until the window is free.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Where the writer's socket goes: the user's runtime folder, or, when that folder may not be
    // trusted (another user made /tmp/runtime-<user> first), fallbackFolder; refusal then names
    // the runtime folder and why it is not used.
    struct Place {
        QString folder;
        QString refusedFolder;
        QString refusal;
    };
    static Place userSocketPlace(const QString& fallbackFolder);
    // The writer's socket in the folder, named after the user and the display the windows go to,
    // so that a start on another display opens a window there. Empty without a folder.
    static QString userSocketPath(const QString& folder);

    // The most one hand-over may send: a path of the longest the system opens (4,096 bytes),
    // percent-encoded (three bytes for one at most), and its line end. A longer one is dropped
    // unread.
    static constexpr qint64 maxHandOverBytes = 3 * 4096 + 1;

    enum class HandOver {
        Taken,      // the running instance took the path
        NoInstance, // no instance listens at the socket (none there, or one left by an ended one)
        NoAnswer,   // an instance listens there but did not answer in time
    };
    // Hands the path (empty: none) to the instance listening at socketPath and waits until it
    // has taken it.
    static HandOver handOver(const QString& socketPath, const QString& path, int timeoutMs = 3000);

    // Starts taking hand-overs. A socket that no instance answers on any more (one that ended
    // without closing it) is replaced. False when another instance is listening there, or the
    // socket cannot be made.
    bool listen();

    enum class Start {
        HandedOver, // the running instance took the file: this start ends
        NoAnswer,   // an instance listens but does not answer: this start says so and ends
        Run,        // this start runs as the instance (listening, when the socket can be made)
    };
    // As the writer's program starts: hands `file` over to the instance that runs, or else
    // listens as that instance. Never lets a second editor run beside an instance that listens.
    Start start(const QString& file);

signals:
    // A later start handed this over; reported from the event loop after the other end has
    // been answered. path is absolute, or empty when the later start was given no file.
    void handedOver(const QString& path);

private:
    QString socketPath_;
    QThread thread_;
    HandOverServer* server_;
};
