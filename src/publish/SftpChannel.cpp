#include "publish/SftpChannel.h"

#include "publish/KnownHosts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRegularExpression>

#include <dlfcn.h>

namespace sftp {

Packer& Packer::u32(quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char((value >> shift) & 0xff);
    return *this;
}

Packer& Packer::u64(quint64 value)
{
    return u32(quint32(value >> 32)).u32(quint32(value));
}

Packer& Packer::string(const QByteArray& text)
{
    u32(quint32(text.size()));
    bytes += text;
    return *this;
}

quint32 Unpacker::u32()
{
    if (at_ + 4 > bytes_.size()) {
        failed_ = true;
        return 0;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.constData() + at_);
    at_ += 4;
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

quint64 Unpacker::u64()
{
    const quint64 high = u32();
    return (high << 32) | u32();
}

QByteArray Unpacker::string()
{
    const quint32 length = u32();
    if (failed_ || length > quint32(bytes_.size() - at_)) {
        failed_ = true;
        return {};
    }
    const QByteArray text = bytes_.mid(at_, length);
    at_ += length;
    return text;
}

Attributes readAttributes(Unpacker& reader)
{
    Attributes attributes;
    const quint32 flags = reader.u32();
    if (flags & Size)
        attributes.size = qint64(reader.u64());
    if (flags & UidGid)
        reader.u64();
    if (flags & Permissions)
        attributes.permissions = int(reader.u32() & 07777);
    if (flags & Times) {
        reader.u32(); // the time last read
        attributes.modified = QDateTime::fromSecsSinceEpoch(reader.u32(), Qt::UTC);
    }
    attributes.valid = !reader.failed();
    return attributes;
}

} // namespace sftp

quint32 SftpReply::code() const
{
    if (type != sftp::Status)
        return sftp::Failure;
    sftp::Unpacker reader(body);
    return reader.u32();
}

namespace {

// A value for ssh's -o, quoted so that blanks stay in it and '%' is not taken for a token.
QString optionPath(const QString& path)
{
    QString escaped = path;
    escaped.replace(u'%', QStringLiteral("%%"));
    return u'"' + escaped + u'"';
}

// pelmora-askpass, beside this library (the build folder, or the installed library folder).
QString askpassProgram()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&askpassProgram), &info);
    const QString folder =
        info.dli_fname ? QFileInfo(QString::fromLocal8Bit(info.dli_fname)).path() : QString();
    return folder + QStringLiteral("/pelmora-askpass");
}

const int stillAlive = 10; // seconds between ssh's checks that the server still answers

} // namespace

SftpChannel::SftpChannel(const UploadRequest& request, const UploadHooks& hooks)
    : request_(request), hooks_(hooks), stallLimit_(request.stallSeconds * 1000)
{
}

SftpChannel::~SftpChannel()
{
    stop();
}

void SftpChannel::stop()
{
    if (ssh_.state() == QProcess::NotRunning)
        return;
    ssh_.kill();
    ssh_.waitForFinished(1000);
}

QStringList SftpChannel::arguments() const
{
    const SiteAddress& site = request_.site;
    QStringList options = {
        // As OpenSSH's sftp starts ssh.
        QStringLiteral("ForwardX11=no"),
        QStringLiteral("PermitLocalCommand=no"),
        QStringLiteral("ClearAllForwardings=yes"),
        QStringLiteral("ForwardAgent=no"),
        // Questions go to the writer through askpass; a refused host key stops the send.
        QStringLiteral("BatchMode=no"),
        QStringLiteral("StrictHostKeyChecking=ask"),
        QStringLiteral("NumberOfPasswordPrompts=1"),
        QStringLiteral("ConnectTimeout=%1").arg(request_.connectSeconds),
        QStringLiteral("ServerAliveInterval=%1").arg(stillAlive),
        QStringLiteral("ServerAliveCountMax=%1").arg(qMax(1, request_.stallSeconds / stillAlive)),
        QStringLiteral("UserKnownHostsFile=") + optionPath(request_.knownHosts),
    };
    if (knownHostsHashed(request_.knownHosts))
        options << QStringLiteral("HashKnownHosts=yes");
    switch (site.signIn) {
    case SiteAddress::SignIn::Password:
        options << QStringLiteral("PubkeyAuthentication=no")
                << QStringLiteral("PreferredAuthentications=password,keyboard-interactive");
        break;
    case SiteAddress::SignIn::KeyFile:
        options << QStringLiteral("IdentityFile=") + optionPath(site.keyFile)
                << QStringLiteral("IdentitiesOnly=yes")
                << QStringLiteral("PreferredAuthentications=publickey");
        break;
    case SiteAddress::SignIn::Agent: break; // the agent and the keys ~/.ssh/config names
    }
    QStringList arguments;
    if (!request_.sshConfig.isEmpty())
        arguments << QStringLiteral("-F") << request_.sshConfig;
    for (const QString& option : options)
        arguments << QStringLiteral("-o") << option;
    // The port and user the writer's ~/.ssh/config gives an alias count unless set here.
    if (site.port != 22)
        arguments << QStringLiteral("-p") << QString::number(site.port);
    if (!site.user.isEmpty())
        arguments << QStringLiteral("-l") << site.user;
    return arguments << QStringLiteral("-s") << QStringLiteral("--") << site.host
                     << QStringLiteral("sftp");
}

QProcessEnvironment SftpChannel::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SSH_ASKPASS"), askpassProgram());
    environment.insert(QStringLiteral("SSH_ASKPASS_REQUIRE"), QStringLiteral("force"));
    environment.insert(QStringLiteral("PELMORA_ASKPASS_SOCKET"), askpass_.fullServerName());
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return environment;
}

std::optional<UploadResult> SftpChannel::open()
{
    prepareKnownHosts(request_.knownHosts);
    askpass_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!folder_.isValid() || !askpass_.listen(folder_.filePath(QStringLiteral("askpass"))))
        return UploadResult(UploadOutcome::Failed, askpass_.errorString());
    ssh_.setProcessEnvironment(environment());
    ssh_.start(QStringLiteral("ssh"), arguments());
    if (!ssh_.waitForStarted())
        return UploadResult(UploadOutcome::Failed, QStringLiteral("ssh: ") + ssh_.errorString());
    // The first reply comes once ssh has connected and signed in.
    stallLimit_ = request_.connectSeconds * 2000;
    ssh_.write(sftp::Packer().u32(5).bytes + char(sftp::Init) + sftp::Packer().u32(3).bytes);
    const std::optional<SftpReply> version = reply(0);
    stallLimit_ = request_.stallSeconds * 1000;
    if (!version)
        return ended();
    // The version's number took the place of a request's: the extensions follow it.
    sftp::Unpacker reader(version->body);
    while (!reader.failed()) {
        const QByteArray name = reader.string();
        const QByteArray data = reader.string();
        if (!reader.failed())
            extensions_.insert(name, data);
    }
    readLimits();
    return std::nullopt;
}

void SftpChannel::readLimits()
{
    if (!offers("limits@openssh.com"))
        return;
    const std::optional<SftpReply> limits =
        call(sftp::Extended, sftp::Packer().string("limits@openssh.com").bytes);
    if (!limits || limits->type != sftp::ExtendedReply)
        return;
    sftp::Unpacker reader(limits->body);
    reader.u64(); // the longest packet
    reader.u64(); // the longest read
    const qint64 write = qint64(reader.u64());
    if (!reader.failed() && write > writeLength_)
        writeLength_ = qMin<qint64>(write, 256 * 1024);
}

std::optional<quint32> SftpChannel::sendWrite(const QByteArray& handle, quint64 offset,
                                              QIODevice& file, qint64 length)
{
    const QByteArray head = sftp::Packer().u32(nextId_).bytes + handle
                            + sftp::Packer().u64(offset).u32(quint32(length)).bytes;
    QByteArray packet =
        sftp::Packer().u32(quint32(1 + head.size() + length)).bytes + char(sftp::Write) + head;
    const qsizetype start = packet.size();
    packet.resize(start + length);
    if (file.read(packet.data() + start, length) != length)
        return std::nullopt;
    if (ssh_.state() == QProcess::Running)
        ssh_.write(packet);
    return nextId_++;
}

void SftpChannel::resume(int milliseconds)
{
    if (stopped_ == UploadOutcome::Cancelled)
        stopped_.reset();
    cleaningUp_ = true;
    stallLimit_ = milliseconds;
}

quint32 SftpChannel::send(quint8 type, const QByteArray& fields)
{
    const quint32 id = nextId_++;
    if (ssh_.state() == QProcess::Running)
        ssh_.write(sftp::Packer().u32(quint32(fields.size() + 5)).bytes + char(type)
                   + sftp::Packer().u32(id).bytes + fields);
    return id;
}

std::optional<SftpReply> SftpChannel::call(quint8 type, const QByteArray& fields)
{
    return reply(send(type, fields));
}

std::optional<SftpReply> SftpChannel::reply(quint32 id)
{
    deadline_.setRemainingTime(stallLimit_);
    while (!replies_.contains(id)) {
        if (stopped_ || !pump())
            return std::nullopt;
    }
    return replies_.take(id);
}

// Waits a little for ssh; false once the session cannot go on.
bool SftpChannel::pump()
{
    if (!cleaningUp_ && hooks_.cancelled && hooks_.cancelled->load()) {
        stopped_ = UploadOutcome::Cancelled;
        return false;
    }
    serveAskpass();
    if (ssh_.bytesAvailable() == 0)
        ssh_.waitForReadyRead(20);
    errors_ += ssh_.readAllStandardError();
    const qsizetype before = replies_.size();
    readPackets();
    if (replies_.size() > before)
        deadline_.setRemainingTime(stallLimit_);
    if (replies_.size() > before || ssh_.bytesAvailable() > 0)
        return true;
    if (ssh_.state() == QProcess::NotRunning) {
        ssh_.waitForFinished(0);
        errors_ += ssh_.readAllStandardError();
        stopped_ = UploadOutcome::ConnectionLost;
        return false;
    }
    if (deadline_.hasExpired()) {
        stopped_ = UploadOutcome::TimedOut;
        stop();
        return false;
    }
    return true;
}

void SftpChannel::readPackets()
{
    input_ += ssh_.readAllStandardOutput();
    while (input_.size() >= 9) {
        sftp::Unpacker header(input_.left(9));
        const quint32 length = header.u32();
        if (qsizetype(length) + 4 > input_.size())
            return;
        SftpReply packet;
        packet.type = quint8(input_[4]);
        const quint32 id = sftp::Unpacker(input_.mid(5, 4)).u32();
        packet.body = input_.mid(9, qsizetype(length) - 5);
        input_.remove(0, qsizetype(length) + 4);
        replies_.insert(packet.type == sftp::Version ? 0 : id, packet);
    }
}

// Answers each question ssh asks through pelmora-askpass. The time the writer takes to answer
// does not count against the send's time limits.
void SftpChannel::serveAskpass()
{
    if (!askpass_.waitForNewConnection(0))
        return;
    std::unique_ptr<QLocalSocket> asker(askpass_.nextPendingConnection());
    QByteArray prompt;
    while (!prompt.endsWith('\0') && asker->waitForReadyRead(2000))
        prompt += asker->readAll();
    prompt.chop(1);
    asker->write(answer(QString::fromUtf8(prompt)));
    asker->waitForBytesWritten(2000);
    asker->disconnectFromServer();
    deadline_.setRemainingTime(stallLimit_);
}

// The answer to one of ssh's questions; empty for no.
QByteArray SftpChannel::answer(const QString& prompt)
{
    static const QRegularExpression newHost(
        QStringLiteral("(\\S+) key fingerprint is (SHA256:[A-Za-z0-9+/=]+)\\."));
    if (prompt.contains(QStringLiteral("continue connecting"))) {
        const QRegularExpressionMatch match = newHost.match(prompt);
        if (!match.hasMatch())
            return {};
        const HostKeySeen seen{request_.site.host, request_.site.port, match.captured(1),
                               match.captured(2)};
        const bool yes = seen.fingerprint == request_.acceptedHostKey
                         || (hooks_.trustNewHost && hooks_.trustNewHost(seen));
        hostRefused_ = !yes;
        return yes ? "yes" : QByteArray();
    }
    static const QRegularExpression keyPassphrase(
        QStringLiteral("^Enter passphrase for key '(.+)': ?$"));
    const QRegularExpressionMatch key = keyPassphrase.match(prompt);
    if (key.hasMatch() && request_.secret.isEmpty())
        return passphrase(key.captured(1));
    // A password, a keyboard-interactive "Password:", a key's passphrase: the secret the writer
    // gave, once for each way of signing in.
    const bool secretAsked =
        prompt.contains(QStringLiteral("assword")) || prompt.contains(QStringLiteral("passphrase"));
    if (!secretAsked || request_.secret.isEmpty() || ++secretsGiven_ > 2)
        return {};
    if (key.hasMatch())
        passphraseKey_ = key.captured(1);
    return request_.secret.toUtf8();
}

// A key ssh needs whose passphrase the request does not hold (ssh-agent's way of signing in, a
// key of ~/.ssh/config or ~/.ssh/id_* not in the agent): the writer is asked, as sftp asks in a
// terminal. A cancel ends the send.
QByteArray SftpChannel::passphrase(const QString& keyFile)
{
    const std::optional<QString> given =
        hooks_.askPassphrase ? hooks_.askPassphrase(keyFile) : std::nullopt;
    if (!given) {
        stopped_ = UploadOutcome::Cancelled;
        return {};
    }
    passphraseKey_ = keyFile;
    return given->toUtf8();
}

UploadResult SftpChannel::ended() const
{
    if (stopped_ == UploadOutcome::ConnectionLost && nextId_ == 1)
        return sshFailure(); // ssh stopped before the session opened: it says why
    if (stopped_)
        return UploadResult(*stopped_, QString::fromUtf8(errors_).trimmed());
    return UploadResult(UploadOutcome::Failed);
}

// Why ssh gave up before the session opened, from what it wrote (its messages are English and
// the same in every locale with LC_ALL=C).
UploadResult SftpChannel::sshFailure() const
{
    const QString text = QString::fromUtf8(errors_).trimmed();
    UploadResult result(UploadOutcome::ConnectionLost, text);
    const auto says = [&text](const char* words) { return text.contains(QLatin1String(words)); };
    if (says("REVOKED HOST KEY"))
        result.outcome = UploadOutcome::HostKeyRevoked;
    else if (says("REMOTE HOST IDENTIFICATION HAS CHANGED")) {
        result.outcome = UploadOutcome::HostKeyChanged;
        result.changedKey = hostKeyChange(text);
    } else if (hostRefused_)
        result.outcome = UploadOutcome::HostKeyRefused;
    else if (says("Host key verification failed"))
        result.outcome = UploadOutcome::HostKeyRefused;
    else if (says("Permission denied") && !passphraseKey_.isEmpty()) {
        result.outcome = UploadOutcome::WrongPassphrase;
        result.keyFile = passphraseKey_;
    } else if (says("Permission denied"))
        result.outcome = UploadOutcome::WrongPassword;
    else if (says("Could not resolve hostname"))
        result.outcome = UploadOutcome::HostNotFound;
    else if (says("Connection refused"))
        result.outcome = UploadOutcome::ConnectionRefused;
    else if (says("timed out"))
        result.outcome = UploadOutcome::TimedOut;
    return result;
}
