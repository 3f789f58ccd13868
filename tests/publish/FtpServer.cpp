#include "FtpServer.h"
#include "ServerTools.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <unistd.h>

FtpServer::FtpServer() : user_(QStringLiteral("ftps")) {}

FtpServer::~FtpServer()
{
    kill();
}

QString FtpServer::user() const
{
    return user_.name();
}

QString FtpServer::start()
{
    if (geteuid() != 0)
        return QStringLiteral("the FTPS server tests run as root (they add a user and start "
                              "vsftpd)");
    if (!QFile::exists(QStringLiteral("/usr/sbin/vsftpd")))
        return QStringLiteral("/usr/sbin/vsftpd is missing: install vsftpd");
    const QDir dir(dir_.path());
    dir.mkpath(QStringLiteral("home"));
    dir.mkpath(QStringLiteral("empty")); // the folder a session is shut in before sign-in
    QFile::setPermissions(dir_.path(), QFile::permissions(dir_.path()) | QFile::ExeGroup
                                           | QFile::ReadOther | QFile::ExeOther);
    if (const QString failure = user_.create(home()); !failure.isEmpty())
        return failure;
    port_ = freePort();
    return restartWithCertificate(QStringLiteral("IP:127.0.0.1"));
}

QString FtpServer::makeCertificate(const QString& name)
{
    const QString common = name.section(u':', 1);
    if (!runTool(QStringLiteral("openssl"),
                 {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                  QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                  QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=") + common,
                  QStringLiteral("-addext"), QStringLiteral("subjectAltName=") + name,
                  QStringLiteral("-keyout"), dir_.filePath(QStringLiteral("key.pem")),
                  QStringLiteral("-out"), dir_.filePath(QStringLiteral("cert.pem"))}))
        return QStringLiteral("openssl req failed");
    return {};
}

QString FtpServer::restartWithCertificate(const QString& certificateName)
{
    kill();
    const QString failure = makeCertificate(certificateName);
    return failure.isEmpty() ? run(true) : failure;
}

QString FtpServer::restartWithExpiredCertificate()
{
    kill();
    const QString certificate = dir_.filePath(QStringLiteral("cert.pem"));
    if (!runTool(QStringLiteral("openssl"),
                 {QStringLiteral("x509"), QStringLiteral("-in"), certificate,
                  QStringLiteral("-key"), dir_.filePath(QStringLiteral("key.pem")),
                  QStringLiteral("-days"), QStringLiteral("-1"), QStringLiteral("-out"),
                  certificate}))
        return QStringLiteral("openssl x509 failed");
    return run(true);
}

QString FtpServer::restartWithoutTls()
{
    kill();
    return run(false);
}

QString FtpServer::run(bool tls)
{
    QFile config(dir_.filePath(QStringLiteral("vsftpd.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write vsftpd.conf");
    const int passive = freePort();
    const QString text =
        QStringLiteral(
            "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=%1\n"
            "background=NO\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\n"
            "local_umask=022\nseccomp_sandbox=NO\npam_service_name=vsftpd\n"
            "secure_chroot_dir=%2\nuserlist_enable=NO\nconnect_from_port_20=NO\n"
            "pasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=%3\npasv_max_port=%4\n"
            "xferlog_enable=YES\nlog_ftp_protocol=YES\nvsftpd_log_file=%5\n"
            "ssl_enable=%6\nforce_local_logins_ssl=YES\nforce_local_data_ssl=YES\n"
            "allow_anon_ssl=NO\n"
            "rsa_cert_file=%7\nrsa_private_key_file=%8\n")
            .arg(port_)
            .arg(dir_.filePath(QStringLiteral("empty")))
            .arg(passive)
            .arg(passive + 40)
            .arg(dir_.filePath(QStringLiteral("vsftpd.log")), tls ? u"YES"_qs : u"NO"_qs,
                 dir_.filePath(QStringLiteral("cert.pem")),
                 dir_.filePath(QStringLiteral("key.pem")));
    config.write(text.toUtf8());
    config.close();
    vsftpd_.start(QStringLiteral("/usr/sbin/vsftpd"), {config.fileName()});
    if (!vsftpd_.waitForStarted())
        return QStringLiteral("vsftpd did not start");
    for (int tries = 0; tries < 100; ++tries) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
        if (probe.waitForConnected(100))
            return {};
        if (vsftpd_.state() == QProcess::NotRunning)
            return QStringLiteral("vsftpd stopped at start: ")
                   + QString::fromLocal8Bit(vsftpd_.readAllStandardError()
                                            + vsftpd_.readAllStandardOutput());
        QThread::msleep(50);
    }
    return QStringLiteral("vsftpd does not listen on port %1").arg(port_);
}

void FtpServer::kill()
{
    if (vsftpd_.state() == QProcess::NotRunning)
        return;
    for (const pid_t pid : descendants(pid_t(vsftpd_.processId())))
        ::kill(pid, SIGKILL);
    vsftpd_.kill();
    vsftpd_.waitForFinished();
}

QString FtpServer::fingerprint() const
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("x509"), QStringLiteral("-noout"), QStringLiteral("-fingerprint"),
                   QStringLiteral("-sha256"), QStringLiteral("-in"),
                   dir_.filePath(QStringLiteral("cert.pem"))});
    openssl.waitForFinished();
    // "sha256 Fingerprint=AB:12:..."
    return QString::fromLatin1(openssl.readAllStandardOutput()).section(u'=', 1).trimmed();
}

QByteArray FtpServer::commandLog() const
{
    QFile log(dir_.filePath(QStringLiteral("vsftpd.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

QString FtpServer::makeFolder(const QString& relative) const
{
    return user_.makeFolder(relative);
}
