// COM for the calling thread, and interfaces released when their owner goes.
#pragma once

#include <objbase.h>

namespace win32 {

// COM initialised for as long as the guard lives. It is uninitialised only
// when this guard's own call succeeded (S_FALSE included: the calls pair),
// never after a failure such as a thread already set to another model.
class ComScope {
  public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT result_;
};

// One reference to a COM interface, released when the owner goes.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return p_; }
    // Where CoCreateInstance or QueryInterface put the new reference.
    void** out() { return reinterpret_cast<void**>(&p_); }

  private:
    T* p_ = nullptr;
};

}  // namespace win32
