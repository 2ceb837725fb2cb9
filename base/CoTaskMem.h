#pragma once
// Owns memory that a shell or COM call allocated with the task allocator
// (an item id list, a string) and frees it with CoTaskMemFree.
#include <objbase.h>

#include <memory>

namespace twi {

struct CoTaskMemFreer {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

template <class T>
using CoTaskMemPtr = std::unique_ptr<T, CoTaskMemFreer>;

}  // namespace twi
