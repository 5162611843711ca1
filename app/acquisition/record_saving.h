#pragma once
// Where the workspace meets the acquisition device's record operations: the device takes only
// what it uses (the store's rows and headers, the file group, the manager, the profile, the
// receiver interval); these calls hand it the workspace's parts.

#include <string>

namespace velk {

class UiHost;
class Workspace;

// Saves the shown record as the line's next record file (CAcquisitionDevice::SaveRecord).
// 1 with the path in savedPath, for the caller's recent-file list; 0 when nothing was saved
// (no acquisition manager, the user kept an existing file, or the write failed).
int SaveAcquiredRecord(Workspace& ws, UiHost& ui, std::string& savedPath);

// The headers of a stacked record into the store's current headers; returns their count.
int MakeAcquiredTraceHeaders(Workspace& ws);

// The store's record is the instrument's (a new record, or the stack copied into the store).
void MarkAcquiredRecord(Workspace& ws);
bool AcquiredRecordShown(const Workspace& ws);

// The display's receiver range and time scale of an acquired record; any other record keeps
// its own.
void ComputeAcquiredDisplayScale(Workspace& ws);
// After a record replaced the store: the scale the instrument's time scale replaced comes back,
// unless the road or the user has set another since.
void LeaveAcquiredDisplayScale(Workspace& ws);

}  // namespace velk
