#include "core/ErrorHandler.h"

#include "core/AppError.h"

void ErrorHandler::report(const std::exception& error)
{
    const auto* appError = dynamic_cast<const AppError*>(&error);
    const QString text = appError ? appError->text() : QString::fromLocal8Bit(error.what());
    show_(text + u'.');
}
