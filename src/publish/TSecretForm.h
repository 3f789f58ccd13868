#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

// What the writer typed before a send, and whether to keep it in the desktop's secret store.
struct SecretAnswer {
    QString secret;
    bool keep = false;
};

// Whether what is typed can be kept in the desktop's secret store, and if not, why not.
enum class SecretKeeping {
    Offered,     // the store is open: the writer may keep it there
    NoStore,     // the desktop has no secret store
    StoreLocked, // the writer left the keyring locked when the desktop asked to unlock it
    AgentKey,    // a key's passphrase ssh asks for during the send: ssh-agent is the place for it
};

// Asks for a password or a key's passphrase before a send. Where the desktop has a secret
// store, the writer may keep it there and is not asked again; otherwise the window says why
// not, and it is asked at every send.
class TSecretForm : public QDialog {
    Q_OBJECT
public:
    TSecretForm(const QString& prompt, SecretKeeping keeping, QWidget* parent = nullptr);

    SecretAnswer answer() const;

    QLabel* PromptLabel;
    QLineEdit* SecretEdit;
    QCheckBox* KeepCheck;
};

// Shows the window modally; nullopt when the writer cancelled.
std::optional<SecretAnswer> askSecretInDialog(QWidget* window, const QString& prompt,
                                              SecretKeeping keeping);
