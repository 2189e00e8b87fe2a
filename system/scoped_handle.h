#pragma once
// One move-only owner for every kind of handle: the traits say what is
// invalid and how to close, so "closed exactly once" is the type's job.
#include <utility>

template <class Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() noexcept : h_(Traits::Invalid()) {}
  explicit ScopedHandle(Handle h) noexcept : h_(h) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& o) noexcept : h_(o.release()) {}
  ScopedHandle& operator=(ScopedHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }

  Handle get() const noexcept { return h_; }
  bool valid() const noexcept { return Traits::IsValid(h_); }
  explicit operator bool() const noexcept { return valid(); }
  [[nodiscard]] Handle release() noexcept { return std::exchange(h_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) noexcept {
    Handle old = std::exchange(h_, h);
    if (Traits::IsValid(old)) Traits::Close(old);
  }

 private:
  Handle h_;
};
