#pragma once

#include <QStringList>
#include <QTimer>

#include <functional>

class QDialog;

// Answers the modal windows a test's command opens: while it lives, every modal dialog that
// comes up is recorded by objectName, handed to `onOpen` (which may press its buttons) and
// then rejected if it is still open, so the command's event loop returns.
class ModalCloser {
public:
    explicit ModalCloser(std::function<void(QDialog*)> onOpen = {});
    ~ModalCloser();

    QStringList opened; // objectNames, in order

private:
    void poll();
    QTimer timer_;
    std::function<void(QDialog*)> onOpen_;
    QDialog* last_ = nullptr;
};
