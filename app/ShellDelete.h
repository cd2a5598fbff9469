// Deleting items the way the shell's own user interface does: into the recycle bin where the volume
// has one, with change notifications so open folder windows and the start menu drop them at once.
#pragma once
#include "framework/CString.h"

// True when the folder holds nothing but "." and "..", and when it does not exist. A folder that
// could not be listed is not empty: nothing may be removed on a guess.
bool IsDirectoryEmpty(const CString& strFolder);
// Deletes a file or a whole folder through the shell, silently and undoably. False when the shell
// reported a failure, and for a path it would read as a pattern or not as one whole item.
bool ShellDeletePath(const CString& strPath);
// Tells the shell that the item strPath went and that its parent folder changed.
void NotifyShellRemoved(const CString& strPath);
// ShellDeletePath, and the notification when it succeeded.
bool ShellDeleteAndNotify(const CString& strPath);
// Removes a folder only when it is empty (the system refuses otherwise), with the notification.
bool RemoveEmptyFolderAndNotify(const CString& strFolder);
