#pragma once
// The file-type codes and the set-up steps that turn freshly read traces into the current
// record. These are the first, minimal versions: classification answers 0 (SEG-2) for every
// path and the set-up steps only copy the headers and set the count, the peaks and the
// interval. The full classification table and set-up replace them in place.

#include <span>
#include <string>
#include <string_view>

#include "app/base/trace_header.h"
#include "app/base/waveform_store.h"
#include "platform/uihost.h"

namespace velk {

class ByteSource;

// File-type codes of a path.
enum FileTypeCode : int {
    kFileSeg2 = 0,
    kFileTorvaneOrg = 1,
    kFileEightHeader = 2,
    kFileStrongMotionText = 3,
    kFileStrongMotionSet = 4,
    kFileProject = 5,
    kFile560QX = 6,
    kFileThreeComponentDat = 7,
    kFileGpr = 8,
    kFileSegY = 9,
};
constexpr int kFileTypeCount = 10;

int FileTypeFromExtension(std::string_view path, int checkFlag);
// The load-time variant over the already open file; the file position is 0 afterwards.
int FileTypeFromContent(std::string_view path, int checkFlag, ByteSource& file);

// First step of a document load: the current trace count into `loadedCount`, and an undo
// snapshot when it is not 0.
void BeginLoad(WaveformStore& store, int& loadedCount);

// Set-up after a load that replaced the record. `records` is indexed by store index and holds
// at least `count` entries.
void ReplaceLoadedTraces(WaveformStore& store, int count, std::span<const CTraceHeader> records);
// Set-up after a load that appended `newCount` traces behind the loaded ones; `records` is
// indexed by store index (the new traces from the old count on).
void AppendLoadedTraces(WaveformStore& store, int newCount, std::span<const CTraceHeader> records);

// "Open data file": is the file a new record (0) or appended to the loaded one (1)?
struct COpenDataFileDlg {
    static constexpr const char* kClass = "COpenDataFileDlg";
    int value = -1;  // callers preset 0, so "New file" is chosen

    // An OK-only dialog with one radio group "File". Texts in the interface language.
    DialogRequest Request(int language);
};

}  // namespace velk
