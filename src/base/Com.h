#pragma once
// The component system for one thread, and a move-only interface pointer.

#include <objbase.h>

#include <utility>

namespace quor {

class TComInit {
 public:
  TComInit() : FResult(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~TComInit() {
    if (SUCCEEDED(FResult)) ::CoUninitialize();
  }
  TComInit(const TComInit&) = delete;
  TComInit& operator=(const TComInit&) = delete;

 private:
  HRESULT FResult;
};

template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  ~TComPtr() { Reset(); }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
  TComPtr& operator=(TComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      FPtr = std::exchange(other.FPtr, nullptr);
    }
    return *this;
  }

  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  void** PutVoid() {
    Reset();
    return reinterpret_cast<void**>(&FPtr);
  }
  void Reset() {
    if (FPtr) std::exchange(FPtr, nullptr)->Release();
  }

 private:
  T* FPtr = nullptr;
};

}  // namespace quor
