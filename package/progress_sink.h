#pragma once
// Where the unpacking reports its percentages: the window's message queue in
// the product, a recorder in tests.
class ProgressSink {
 public:
  virtual void Post(int value) = 0;
  // The short breather after each post that lets the window repaint.
  virtual void Pause(unsigned milliseconds) = 0;

 protected:
  ~ProgressSink() = default;
};
