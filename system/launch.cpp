#include "system/launch.h"

#include <cstring>
#include <string>

#include "system/launch_text.h"

bool LaunchGameProgram(InstallTask& task, const char* commandLine) {
  const std::string line = QuotedProgramLine(commandLine);
  const UINT result = WinExec(line.c_str(), SW_SHOW);
  const DWORD lastError = GetLastError();
  if (result > 31) return true;
  const std::string text = LaunchFailureText(result, commandLine, lastError);
  static_assert(sizeof task.errorText == kErrorTextSize, "error text buffer");
  memset(task.errorText, 0, sizeof task.errorText);
  memcpy(task.errorText, text.data(), text.size() < sizeof task.errorText ? text.size() : sizeof task.errorText - 1);
  return false;
}
