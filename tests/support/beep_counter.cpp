#include "beep_counter.h"

#include <cstring>

namespace testing_support {
namespace {

using BeepFunction = BOOL(WINAPI*)(UINT);

std::vector<UINT> recorded;
BeepFunction* importSlot;
BeepFunction original;

BOOL WINAPI RecordBeep(UINT type) {
  recorded.push_back(type);
  return TRUE;
}

// The program's import address table entry of user32!MessageBeep, or null.
BeepFunction* FindImport() {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); module->Name;
       ++module) {
    if (_stricmp(reinterpret_cast<const char*>(base + module->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBeep") == 0)
        return reinterpret_cast<BeepFunction*>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void Write(BeepFunction* slot, BeepFunction value) {
  DWORD previous = 0;
  if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return;
  *slot = value;
  VirtualProtect(slot, sizeof *slot, previous, &previous);
}

}  // namespace

BeepCounter::BeepCounter() {
  recorded.clear();
  importSlot = FindImport();
  if (!importSlot) return;
  original = *importSlot;
  Write(importSlot, RecordBeep);
}

BeepCounter::~BeepCounter() {
  if (importSlot && original) Write(importSlot, original);
  importSlot = nullptr;
  original = nullptr;
}

bool BeepCounter::installed() const { return importSlot && *importSlot == RecordBeep; }
const std::vector<UINT>& BeepCounter::beeps() const { return recorded; }
void BeepCounter::clear() { recorded.clear(); }

}  // namespace testing_support
