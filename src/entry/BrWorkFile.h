#pragma once

#include <QByteArray>
#include <QString>

class Files;
class Messages;

namespace entry {

// The line buffer the work file is read through: one read takes at most bufferSize - 1 bytes
// of one line, its line end (one "\n") included.
inline constexpr qsizetype brLineBufferSize = 256;

// Rewrites one read of the work file in place. When the read holds its line end and the text
// before it leaves room for "<BR>" in the buffer (at most 252 bytes for 256), the line end
// becomes "<BR>" and the result is 0. Otherwise (253 or 254 bytes, or no line end) the read is
// left as it is and the result is 1.
int AppendBrTag(QByteArray& line, qsizetype bufferSize = brLineBufferSize);

// What BuildBrBody gives.
enum class BrResult { Done = 0, WriteFailed = 1, OpenFailed = 2, WriteProtected = 3 };

struct BrBody {
    BrResult result = BrResult::Done;
    // The rewritten body, every line followed by CR LF; empty unless result is Done.
    QString text;
};

// The work file of an insertion with automatic line breaks.
QString brWorkFilePath(const QString& programFolder);

// Rewrites the body (CR LF text) through the work file programFolder + "temp.pmr", made new
// after whatever was at its name is removed (never followed, never read): writes its lines in code
// page 932, each followed by CR LF (a character the page cannot hold goes as its numeric character
// reference), reads them back, only from the writer's own file, through the line buffer with
// AppendBrTag and deletes the file. A line longer than 254 bytes is carried whole and ends in
// "<BR>". Every failure is shown in a stop box; a failure to delete the file still gives Done.
BrBody BuildBrBody(Files& files, Messages& messages, const QString& programFolder,
                   const QString& body);

} // namespace entry
