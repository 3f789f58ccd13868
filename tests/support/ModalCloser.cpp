#include "support/ModalCloser.h"

#include <QApplication>
#include <QDialog>

ModalCloser::ModalCloser(std::function<void(QDialog*)> onOpen) : onOpen_(std::move(onOpen))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start(5);
}

ModalCloser::~ModalCloser()
{
    timer_.stop();
}

void ModalCloser::poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog == last_)
        return;
    last_ = dialog;
    opened.append(dialog->objectName());
    if (onOpen_)
        onOpen_(dialog);
    if (dialog->isVisible())
        dialog->reject();
    last_ = nullptr;
}
