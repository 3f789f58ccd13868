#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "ServerTools.h"

// vsftpd on 127.0.0.1 and a free port, with a configuration of its own (not the system's
// service) that keeps vsftpd's defaults and switches TLS on, a throw-away self-signed
// certificate and a throw-away user whose home is in a temporary folder. It needs root (the
// user, the server's sign-in).
class FtpServer {
public:
    FtpServer();
    ~FtpServer();

    // Creates the user and a certificate for 127.0.0.1 and starts the server with TLS required.
    // Empty when it runs; otherwise why it does not.
    QString start();
    // Starts the server again, on the same port: with a new certificate and key made for
    // `certificateName` ("IP:127.0.0.1", "DNS:other.example"), or without TLS at all.
    QString restartWithCertificate(const QString& certificateName);
    // Starts the server again with its certificate signed anew by the same key, expired.
    QString restartWithExpiredCertificate();
    QString restartWithoutTls();
    void kill();

    int port() const { return port_; }
    QString user() const;
    QString password() const { return user_.password(); }
    QString home() const { return dir_.filePath(QStringLiteral("home")); }
    // The certificate's SHA-256 fingerprint as `openssl x509 -fingerprint -sha256` shows it.
    QString fingerprint() const;
    // The commands the server was given, as its log keeps them.
    QByteArray commandLog() const;
    // A folder under the home that the user owns, made with its parents.
    QString makeFolder(const QString& relative) const;

private:
    QString makeCertificate(const QString& name);
    QString run(bool tls);

    QTemporaryDir dir_;
    QProcess vsftpd_;
    int port_ = 0;
    TestUser user_;
};
