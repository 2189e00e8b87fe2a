#include "system/launch_text.h"

#include <cstdio>

#include "system/path_text.h"

std::string QuotedProgramLine(const char* programPath) {
  std::string path = programPath ? programPath : "";
  if (!path.empty() && path[0] == '"') return path;
  return "\"" + path + "\"";
}

std::string LaunchFailureText(unsigned result, const char* programPath, unsigned long lastError) {
  const char* head = "";
  const char* tail = "";
  bool namesFile = false;
  switch (result) {
    case 0: head = "系统内存不够."; break;
    case 2: head = "找不到"; tail = "文件."; namesFile = true; break;
    case 3: head = "路径错误."; break;
    case 11: tail = "文件不是有效运行程序."; namesFile = true; break;
    default: head = "未知错误."; break;
  }
  char number[32];
  snprintf(number, sizeof number, " 错误号:%d", static_cast<int>(lastError));
  std::string text = head;
  if (namesFile) {
    std::string path = programPath ? programPath : "";
    size_t fixed = text.size() + std::string(tail).size() + std::string(number).size();
    const size_t room = kErrorTextSize - 1;
    if (fixed + path.size() > room) path = CutGbk(path, room > fixed + 3 ? room - fixed - 3 : 0) + "...";
    text += path;
    text += tail;
  }
  text += number;
  return text;
}
