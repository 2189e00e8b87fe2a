#pragma once
// The uninstaller's command line and the checks on what its information file
// says. Platform-free.
#include <string>

// "/U:<path of uninstall.ini>"   required
// "/S"                           no questions and no message boxes
// "/Y"                           the player has already confirmed
// "/P:<handle>"                  a process handle to wait for before work:
//                                the copy restarted from the temporary folder
//                                waits until the original has exited
struct UninstallArgs {
  std::string infoFile;
  bool silent = false;
  bool confirmed = false;
  unsigned long waitHandle = 0;
};

// False for a missing, repeated or empty /U:, an unknown switch or a bad
// /P: value; `args` still tells whether /S was given.
bool ParseUninstallArgs(const std::string& commandLine, UninstallArgs* args);

// What follows the program (quoted or not) in a command line such as an
// uninstall entry's UninstallString.
std::string CommandArguments(const std::string& command);

// The command line for the restarted copy: the arguments of `args` (with /Y)
// and /P:<waitHandle>, each quoted where it needs to be.
std::string RestartArguments(const UninstallArgs& args, unsigned long waitHandle);

// Where the installer writes the information file of an installation in `setupDir`.
std::string InfoFileOf(const std::string& setupDir);
