#pragma once

#include "entry/EntryRenderer.h"

namespace entry {

// Today's entry as the next insertion would write it, in one CR LF text: the writes of
// renderEntry run together, `weatherColour` where the weather colour window writes its fragment
// for a typed weather, and the body (CR LF, as typed) where the insertion pastes it - with
// automatic line breaks on, rewritten as the work file rewrites it, though here in memory.
QString previewEntry(const TodayEntry& entry, const HtmlSettings& html, const QString& body,
                     const QString& weatherColour);

} // namespace entry
