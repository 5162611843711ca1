#pragma once
// "Disk" on the workspace: the acquisition device's dialog over the workspace's manager, store,
// clock and removable drives. The MO drive is the drive letter the MO items chose, the floppy
// drive is "a:"; both are mount points from the profile (DriveMountPoint).

#include <string>

namespace velk {

class FileOps;
class UiHost;
class Workspace;

// Runs dialog 262. A record saved by "Save current data" leaves its path in savedPath, for the
// recent-file list. 1 when the dialog closed with OK; 0 otherwise, and without a manager.
int RunDiskMenu(Workspace& ws, UiHost& ui, FileOps& files, std::string& savedPath);

}  // namespace velk
