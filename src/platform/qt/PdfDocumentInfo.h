#pragma once
// The document information of a finished PDF file (title, subject, creator), written as an
// incremental update: a new information dictionary, its cross-reference section and a
// trailer appended after the file's end, which leave every page object as it was. Qt's PDF
// writer takes a title and a creator only before the first page, and no subject at all.

#include <string>

#include "platform/PageSink.h"

namespace tessaran::platform {

// Appends the update to the PDF file at `path`; throws std::runtime_error naming the file when
// it is not a PDF file Qt wrote (no trailer) or cannot be written.
void appendPdfDocumentInfo(const std::string& path, const DocumentInfo& info);

}  // namespace tessaran::platform
