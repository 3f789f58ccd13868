#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The bytes with every line end (CR LF, a lone CR, a lone LF) written as CR LF, as the program
// writes a diary back.
inline QByteArray withCrLf(QByteArrayView bytes)
{
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}
