#include "platform/ErrorMessages.h"

#include "core/AppInfo.h"
#include "platform/Messages.h"

ErrorHandler errorMessages(Messages& messages)
{
    return ErrorHandler([&messages](const QString& text) {
        messages.show({text, appTitle(), MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok});
    });
}
