#pragma once

#include <QString>

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual QString text() = 0;
    virtual void setText(const QString& text) = 0;
};
