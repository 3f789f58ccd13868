#pragma once

#include <QString>

// Where a diary is published and how the program signs in there. It holds no secret: a password
// or a key's passphrase travels beside it, never inside it.
struct SiteAddress {
    enum class Protocol { Sftp, Ftps };
    enum class SignIn { Password, Agent, KeyFile };

    Protocol protocol = Protocol::Sftp;
    QString host;
    int port = 22;
    QString user;
    // The folder on the server: from the root when it starts with "/", otherwise from the folder
    // the server puts the user in at sign-in.
    QString folder;
    QString fileName; // the diary's name on the server
    SignIn signIn = SignIn::Password;
    QString keyFile; // the private key, for SignIn::KeyFile
};

// The path of a file in the site's folder, as the server resolves it.
QString remotePath(const SiteAddress& site, const QString& name);

// The name the site's secret is kept under in the desktop's secret store: its password by
// protocol, user, host and port; a key file's passphrase by the key file, so that two sites
// signed in with one key share it.
QString secretKey(const SiteAddress& site);
