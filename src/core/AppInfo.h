#pragma once

#include <QString>

// The application title: the caption of message boxes that name the application.
inline QString appTitle()
{
    return QStringLiteral("Pelmora 2");
}

// The organisation and application the settings file is named after. They are the names
// earlier versions of the program stored their settings under, kept so that a writer's
// settings are found where the writer expects them.
inline QString settingsOrganization()
{
    return QStringLiteral("oribeko");
}

inline QString settingsApplication()
{
    return QStringLiteral("Quillode");
}

inline QString mainWindowCaption()
{
    return QStringLiteral("Pelmora Ver. 2.20");
}
