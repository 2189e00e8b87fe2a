#pragma once
// A Host that records what the worker side posts and shows, from any thread.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/install_task.h"

struct HostEvent {
  bool box = false;
  UINT message = 0;  // posts
  LPARAM value = 0;
  std::string text;  // boxes
  std::string caption;
  HWND owner = nullptr;
  UINT type = 0;
};

class RecordingHost final : public Host {
 public:
  // Runs on the posting thread, after the post is recorded.
  std::function<void(UINT message, LPARAM value)> onPost;

  void Post(HWND, UINT message, WPARAM, LPARAM lParam) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      HostEvent e;
      e.message = message;
      e.value = lParam;
      events_.push_back(e);
    }
    if (onPost) onPost(message, lParam);
  }
  int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) override {
    std::lock_guard<std::mutex> lock(mutex_);
    HostEvent e;
    e.box = true;
    e.text = text;
    e.caption = caption;
    e.owner = owner;
    e.type = type;
    events_.push_back(e);
    return IDOK;
  }
  void DebugString(const char*) override {}
  void WriteStdout(const char*) override {}

  std::vector<HostEvent> Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  std::vector<int> Statuses() {
    std::vector<int> out;
    for (const auto& e : Events())
      if (!e.box && e.message == WM_INSTALL_STATUS) out.push_back(static_cast<int>(e.value));
    return out;
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> out;
    for (const auto& e : Events())
      if (e.box) out.push_back(e.text);
    return out;
  }
  // "S2 P0 P100 S4 ... B S0": statuses, progress values and boxes in order.
  std::string Trace() {
    std::string out;
    for (const auto& e : Events()) {
      if (!out.empty()) out += ' ';
      if (e.box)
        out += 'B';
      else
        out += (e.message == WM_INSTALL_STATUS ? "S" : "P") + std::to_string(e.value);
    }
    return out;
  }

 private:
  std::mutex mutex_;
  std::vector<HostEvent> events_;
};
