#pragma once

#include <QString>

// Passwords and passphrases kept in the desktop's secret store (the Secret Service of GNOME
// Keyring or KWallet, through QtKeychain), never in a file of the program's own.

enum class SecretStatus {
    Done,     // read, written or removed
    NotFound, // the store holds no secret under the key
    NoStore,  // the desktop has no secret store: the secret is asked each time
    Failed,   // the store refused (an error): asked this time
    Locked,   // the store stays locked: the writer cancelled the desktop's unlock
};

struct SecretReply {
    SecretStatus status = SecretStatus::Failed;
    QString secret;
    QString detail; // the store's own words, when it failed
};

// The store's operations. Each waits for the store's answer while the program's events go on
// (the desktop may show its own window to unlock the keyring meanwhile).
struct SecretStore {
    // Makes the store ready to read and keep secrets: a locked keyring is unlocked, the desktop
    // asking the writer for its password once. Done when it is open (or not a keyring that
    // locks), Locked when the writer cancelled.
    SecretReply (*unlock)();
    SecretReply (*read)(const QString& key);
    SecretReply (*write)(const QString& key, const QString& secret);
    SecretReply (*remove)(const QString& key);
};

// QtKeychain lives in the transfer's library, loaded at the first send, with libcurl: the
// library gives the store under this name.
using SecretStoreFunction = const SecretStore* (*)();
inline constexpr char secretStoreName[] = "pelmoraSecretStore";
