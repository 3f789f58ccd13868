#pragma once

#include <QString>

#include <stdexcept>

// An error no command handles itself; the general handler shows its text followed by ".".
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};
