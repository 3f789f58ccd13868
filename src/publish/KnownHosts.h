#pragma once

#include <QString>

// A server's SSH host key that differs from the one known_hosts holds for it, as ssh reported
// it: the key now, and the file and line that hold the old one.
struct HostKeyChange {
    QString keyType;        // as ssh names it: "ED25519", "RSA", "ECDSA"
    QString fingerprint;    // "SHA256:..." of the key the server shows now
    QString oldFingerprint; // of the key the line holds; empty when the line cannot be read
    QString file;
    int line = 0; // from 1; 0: ssh did not say
};

// Whether the file's host names are hashed (ssh-keygen -H, HashKnownHosts yes): new lines are
// then added hashed too.
bool knownHostsHashed(const QString& path);
// Readies known_hosts for ssh to add to: makes its folder when it is missing, for its owner only
// (0700) as ssh makes ~/.ssh, and ends a last line edited by hand without its line end, which
// ssh would join the next line to.
void prepareKnownHosts(const QString& path);
// The change ssh's warning of a changed host key tells, with the old key's fingerprint read from
// the line it names.
HostKeyChange hostKeyChange(const QString& sshWarning);
// Removes the line (from 1) that holds the old key, the rest of the file kept as it is; false
// when the file could not be written.
bool removeKnownHostsLine(const QString& path, int line);
// The key's SHA-256 fingerprint as OpenSSH shows it.
QString keyFingerprint(const QByteArray& keyBlob);
