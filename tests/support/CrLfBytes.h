#pragma once

#include "text/LineEnds.h"

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

// The bytes with every line end written as lineEnd, as the program writes a diary back whose
// line ends were all alike (and as CR LF when they were not).
inline QByteArray withLineEnds(QByteArrayView bytes, text::LineEnd lineEnd)
{
    const QByteArray crlf = withCrLf(bytes);
    if (lineEnd == text::LineEnd::CrLf)
        return crlf;
    QByteArray out = crlf;
    return out.replace("\r\n", lineEnd == text::LineEnd::Lf ? "\n" : "\r");
}
