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

// Asks for a password or a key's passphrase before a send. Where the desktop has a secret
// store, the writer may keep it there and is not asked again; where it has none, the window
// says so, and it is asked at every send.
class TSecretForm : public QDialog {
    Q_OBJECT
public:
    TSecretForm(const QString& prompt, bool storeOffered, QWidget* parent = nullptr);

    SecretAnswer answer() const;

    QLabel* PromptLabel;
    QLineEdit* SecretEdit;
    QCheckBox* KeepCheck;
};

// Shows the window modally; nullopt when the writer cancelled.
std::optional<SecretAnswer> askSecretInDialog(QWidget* window, const QString& prompt,
                                              bool storeOffered);
