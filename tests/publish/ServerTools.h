#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// What the test servers (sshd, vsftpd) share: running tools, a free port, their processes, and
// the throw-away user that signs in to them.

// Runs a tool to its end, `input` on its standard input; true when it ended with 0.
bool runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});
// A port on 127.0.0.1 that nothing listens on now.
int freePort();
// Every process below `root`, children before their parents are listed.
QList<pid_t> descendants(pid_t root);

// A local user of this test process's own (tests run side by side), with a random password and
// a home it owns in a temporary folder; removed again with the object. Needs root.
class TestUser {
public:
    // `kind` tells the users of two servers apart: "sftp", "ftps".
    explicit TestUser(const QString& kind);
    ~TestUser();
    TestUser(const TestUser&) = delete;
    TestUser& operator=(const TestUser&) = delete;

    // Adds the user with its home at `home`; empty when done, otherwise why not.
    QString create(const QString& home);
    // A folder under the home that the user owns, made with its parents; empty when it cannot.
    QString makeFolder(const QString& relative) const;

    QString name() const { return name_; }
    QString password() const { return password_; }

private:
    QString name_;
    QString password_;
    QString home_;
    bool made_ = false;
};
