#include "app/LocalSocket.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace localsocket {

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

Socket::~Socket()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int Socket::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

namespace {

constexpr int retryMs = 10;

// The address of path; false when the path does not fit in one.
bool addressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray bytes = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || size_t(bytes.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    return true;
}

Socket newSocket()
{
    return Socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

// Waits until the socket is ready for events or the deadline passes.
bool waitFor(const Socket& socket, short events, QDeadlineTimer deadline)
{
    pollfd entry{socket.fd(), events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

Connect connectTo(const QString& path, QDeadlineTimer deadline, Socket& socket)
{
    sockaddr_un address;
    if (!addressOf(path, address))
        return Connect::NoListener;
    socket = newSocket();
    if (!socket.valid())
        return Connect::NoListener;
    for (;;) {
        if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address)
            == 0)
            return Connect::Connected;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return Connect::NoListener;
        // The listener's queue is full: it is there but does not take connections.
        if (deadline.hasExpired())
            return Connect::TimedOut;
        ::usleep(retryMs * 1000);
    }
}

bool sendAll(const Socket& socket, const QByteArray& bytes, QDeadlineTimer deadline)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket.fd(), bytes.constData() + sent, size_t(bytes.size() - sent),
                                 MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && waitFor(socket, POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

QByteArray readLine(const Socket& socket, qsizetype maxBytes, QDeadlineTimer deadline)
{
    QByteArray line;
    char byte = 0;
    while (line.size() < maxBytes) {
        const ssize_t n = ::recv(socket.fd(), &byte, 1, 0);
        if (n == 1) {
            line += byte;
            if (byte == '\n')
                return line;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && waitFor(socket, POLLIN, deadline))
            continue;
        break;
    }
    return {};
}

Socket listenAt(const QString& path)
{
    sockaddr_un address;
    if (!addressOf(path, address))
        return Socket();
    Socket socket = newSocket();
    if (!socket.valid())
        return Socket();
    ::unlink(address.sun_path);
    // Connections are refused until listen(), so the mode is set before anyone can connect.
    if (::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0
        || ::listen(socket.fd(), SOMAXCONN) != 0)
        return Socket();
    return socket;
}

Socket acceptFrom(const Socket& listener)
{
    for (;;) {
        const int fd = ::accept4(listener.fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0 || errno != EINTR)
            return Socket(fd);
    }
}

} // namespace localsocket
