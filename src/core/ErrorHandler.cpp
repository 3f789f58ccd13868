#include "core/ErrorHandler.h"

#include "core/AppError.h"
#include "core/AppInfo.h"
#include "platform/Messages.h"

void ErrorHandler::report(const std::exception& error)
{
    const auto* appError = dynamic_cast<const AppError*>(&error);
    const QString text = appError ? appError->text() : QString::fromLocal8Bit(error.what());
    messages_.show({text + u'.', appTitle(), MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok});
}
