#pragma once

#include <QString>

// The application title: the caption of message boxes that name the application.
inline QString appTitle()
{
    return QStringLiteral("Pelmora 2");
}

inline QString mainWindowCaption()
{
    return QStringLiteral("Pelmora Ver. 2.20");
}
