#include "support/ImportHook.h"

namespace twitest {
namespace {

void Store(void** slot, void* value) {
  DWORD old = 0;
  VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
  *slot = value;
  VirtualProtect(slot, sizeof(void*), old, &old);
}

// The import-table entry of the running program that holds `target`.
void** FindSlot(void* target) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return nullptr;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       desc->Name; ++desc) {
    for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
         thunk->u1.Function; ++thunk) {
      auto** slot = reinterpret_cast<void**>(&thunk->u1.Function);
      if (*slot == target) return slot;
    }
  }
  return nullptr;
}

}  // namespace

ImportHook::ImportHook(const char* dll, const char* function, void* replacement) {
  HMODULE module = GetModuleHandleA(dll);
  void* target = module ? reinterpret_cast<void*>(GetProcAddress(module, function)) : nullptr;
  if (!target) return;
  slot_ = FindSlot(target);
  if (!slot_) return;
  original_ = *slot_;
  Store(slot_, replacement);
}

ImportHook::~ImportHook() {
  if (slot_) Store(slot_, original_);
}

}  // namespace twitest
