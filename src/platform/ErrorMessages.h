#pragma once

#include "core/ErrorHandler.h"

class Messages;

// The general error handler that shows each error as a message box: its text, a stop icon and
// the application title as caption.
ErrorHandler errorMessages(Messages& messages);
