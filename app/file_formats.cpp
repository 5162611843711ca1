// The registry of the program's waveform readers and writers. Each format registers its reader
// (which fills a LoadTarget) and its writer (which writes through the document's atomic file)
// under its file-type code; a code left empty gives the document's "cannot be read" or "cannot
// be saved" message.

#include "app/document.h"

namespace velk {

void RegisterFileFormats(FormatRegistry& /*registry*/)
{
    // No format is built yet.
}

}  // namespace velk
