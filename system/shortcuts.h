#pragma once
// Shell links, start-menu folders and directory trees.

enum ShortcutFolder { Desktop = 0, Programs = 1, CommonPrograms = 2 };

bool MakeDirectoryPath(const char* path);
bool CreateShortcut(const char* target, const char* linkName, int folder, bool folderOnly);
void DeleteShortcut(const char* linkName, int folder, bool wholeFolder);
void DeleteDirectoryTree(const char* path);
