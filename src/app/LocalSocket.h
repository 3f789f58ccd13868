#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

// The few steps of a Unix domain socket the hand-over between two starts needs, on the system's
// own calls. Qt's local socket classes live in Qt Network, whose libraries (with Kerberos and the
// proxy library behind them) took a seventh of the time until the window first showed; nothing
// else in the program needs them.
namespace localsocket {

// A socket descriptor that closes itself.
class Socket {
public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    Socket(Socket&& other) noexcept : fd_(other.release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket();

    int fd() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();

private:
    int fd_;
};

enum class Connect {
    Connected,
    NoListener, // nothing at the path, or nothing listens there
    TimedOut,   // one listens, but its queue stays full
};
// Connects to the socket at path, trying until the deadline while the listener's queue is full.
Connect connectTo(const QString& path, QDeadlineTimer deadline, Socket& socket);

// Writes all of bytes before the deadline; false when the other end went away or time ran out.
bool sendAll(const Socket& socket, const QByteArray& bytes, QDeadlineTimer deadline);

// Reads one line, its "\n" included, of at most maxBytes; empty when the other end closed first,
// the line grew longer, or time ran out.
QByteArray readLine(const Socket& socket, qsizetype maxBytes, QDeadlineTimer deadline);

// A listening socket at path, readable and writable by this user only; what was at the path
// before is removed. Invalid when the socket cannot be made there.
Socket listenAt(const QString& path);
// The next connection waiting at a listening socket, non-blocking; invalid when none waits.
Socket acceptFrom(const Socket& listener);

} // namespace localsocket
