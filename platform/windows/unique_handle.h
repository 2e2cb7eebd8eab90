#pragma once

#include <windows.h>

#include <utility>

namespace zentil {

// Owns one Windows handle and gives it to `Close` (CloseHandle, FindClose) on destruction.
template <BOOL(WINAPI* Close)(HANDLE)>
class UniqueWinHandle {
 public:
  UniqueWinHandle() = default;
  explicit UniqueWinHandle(HANDLE handle) : handle_(handle) {}
  UniqueWinHandle(UniqueWinHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, INVALID_HANDLE_VALUE));
    return *this;
  }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
  ~UniqueWinHandle() { reset(); }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    if (valid()) Close(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

using UniqueHandle = UniqueWinHandle<&::CloseHandle>;
using UniqueFindHandle = UniqueWinHandle<&::FindClose>;

}  // namespace zentil
