#pragma once
// Where links and folders go, and what a link carries. Platform-free.
#include <string>

// The CSIDL of the special folder: creating knows only the user's Programs
// folder and the desktop; deleting also the all-users Programs folder.
int CreateFolderCsidl(int folder);
int DeleteFolderCsidl(int folder);

// folder + "\" + linkName, with ".lnk" when `asLink`. False when the name
// would leave the folder or the result does not fit a path buffer.
bool ComposeLinkPath(const std::string& folderPath, const char* linkName, bool asLink, std::string* path);

// The target's folder (cut at its last backslash, which is dropped) with an
// upper-case drive letter; empty when the target has no backslash.
std::string LinkWorkingDirectory(const std::string& target);
