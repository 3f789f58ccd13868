#pragma once

#include <QString>

// The per-user store of named text values that the settings live in.
class KeyStore {
public:
    enum class Status { Text, Missing, WrongKind };
    struct Value {
        Status status = Status::Missing;
        QString text;
    };

    virtual ~KeyStore() = default;
    // Opens the existing store for reading; false when there is none or it cannot be read.
    virtual bool open() = 0;
    // Opens the store for writing, creating it (and its folders) when needed.
    virtual bool openOrCreate() = 0;
    virtual Value read(const QString& name) = 0;
    // Stages a value; nothing reaches the store before commit().
    virtual void write(const QString& name, const QString& text) = 0;
    // Stores the staged values in place of what their names held, all of them or, returning
    // false, none; what the store holds under other names stays.
    virtual bool commit() = 0;
    virtual void close() = 0;
};
