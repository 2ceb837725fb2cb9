#pragma once
// Test helpers around the stand-in COM servers of tests/fixtures/activex:
// registering them with a real regsvr32.exe, their journal of received calls
// and their fault switch.
#include <windows.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace twitest {

// The Windows path (Z:\...) of a stand-in file in build/fixtures.
std::string StandInPath(const std::string& file);

// Runs "regsvr32.exe /s [/u] <path>" from the system folder and waits; its exit code.
DWORD RunRegsvr32(const std::string& path, bool unregister);

// Registers a stand-in for the object's lifetime (unregisters it afterwards).
class Registered {
 public:
  explicit Registered(std::string file);
  ~Registered();
  Registered(const Registered&) = delete;
  Registered& operator=(const Registered&) = delete;

 private:
  std::string path_;
};

// Points TWI_STANDIN_JOURNAL at a fresh file for the object's lifetime.
class Journal {
 public:
  Journal();
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;
  std::vector<std::string> Lines() const;

 private:
  ScratchFolder folder_;
};

// Sets TWI_STANDIN_FAULT to a class name for the object's lifetime.
class Fault {
 public:
  explicit Fault(const std::string& className);
  ~Fault();
  Fault(const Fault&) = delete;
  Fault& operator=(const Fault&) = delete;
};

// Whether objects of a stand-in loaded in this process are still alive (its
// DllCanUnloadNow says S_FALSE); false when it is not loaded.
bool StandInInUse(const std::string& file);

// The default value of a key under HKEY_CLASSES_ROOT ("" when absent).
std::string ClassesRootText(const std::string& key, const char* value = nullptr);
bool ClassesRootHas(const std::string& key);

}  // namespace twitest
