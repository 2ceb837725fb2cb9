#pragma once
// Holds the one instance of a shared service for the rest of the process and
// never destroys it. The program ends without tearing its shared objects down
// (pending log actions are not written at exit), and tests end the same way:
// no shared object can then meet another that was destroyed before it, in
// whatever order they were first used.
#include <new>
#include <utility>

namespace twi {

template <class T>
class NoDestructor {
 public:
  template <class... Args>
  explicit NoDestructor(Args&&... args) {
    ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
  }
  NoDestructor(const NoDestructor&) = delete;
  NoDestructor& operator=(const NoDestructor&) = delete;

  T& operator*() { return *std::launder(reinterpret_cast<T*>(storage_)); }
  T* operator->() { return &**this; }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

// The process-wide instance of T, created on first use and never destroyed.
template <class T>
T& SharedInstance() {
  static NoDestructor<T> instance;
  return *instance;
}

}  // namespace twi
