#pragma once

#include "platform/Messages.h"

// The operation advice of the first tab: how to write today's entry, as an information box.
Message operationAdvice();
