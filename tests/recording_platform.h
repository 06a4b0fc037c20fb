// A platform that answers from a script and writes down every call, one line
// each, in a relay-like form, so tests compare what reached the system.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quennavar::testing {

class RecordingPlatform : public Platform {
 public:
  // --- The script: what the system answers. Defaults: Windows XP, an
  // administrator, 7 Dec 2026 23:30:00, US English, hibernate allowed.
  OsVersionInfo version{5, 1, 2600, kVerPlatformWin32Nt};
  std::string commandLine = "\"C:\\Program Files\\Quennavar\\Quennavar.exe\"";
  std::string modulePath = "C:\\Program Files\\Quennavar\\Quennavar.exe";
  SystemTime localTime{2026, 12, 1, 7, 23, 30, 0, 0};
  std::map<LocaleItem, std::string> locale = UsEnglish();
  bool powerLibraryLoads = true;
  std::set<std::string> missingEntries;  // power-library entries GetProcAddress does not find
  bool suspendAllowed = false;
  bool hibernateAllowed = true;
  bool setSuspendStateSucceeds = true;
  bool openTokenSucceeds = true;
  bool tokenProbeSucceeds = false;
  std::uint32_t tokenProbeError = kErrorInsufficientBuffer;
  bool lookupPrivilegeSucceeds = true;
  bool firstAdjustSucceeds = true;
  bool secondAdjustSucceeds = true;
  std::uint32_t previousStateLength = 16;
  bool exitWindowsSucceeds = true;
  bool lockSucceeds = true;
  bool createTimerSucceeds = true;
  bool setTimerSucceeds = true;
  std::int32_t regCreateKeyStatus = kErrorSuccess;
  std::int32_t regSetValueStatus = kErrorSuccess;
  bool registerEventSourceSucceeds = true;

  static std::map<LocaleItem, std::string> UsEnglish();

  // --- What happened.
  std::vector<std::string> calls;
  // The calls whose names are listed, in order.
  std::vector<std::string> Only(std::initializer_list<std::string> names) const;
  // Handles opened and not yet released.
  std::set<std::string> OpenHandles() const { return open_; }

  std::string GetCommandLineA() override;
  std::string GetModuleFileNameA() override;
  Handle GetCurrentProcess() override;
  std::uint32_t GetLastError() override;
  bool CloseHandle(Handle handle) override;
  bool GetVersionExA(OsVersionInfo& info) override;
  void GetLocalTime(SystemTime& time) override;
  std::string GetLocaleInfoA(LocaleItem item) override;
  std::string CharLowerBuffA(std::string text) override;
  Module LoadLibraryA(const std::string& fileName) override;
  Module GetModuleHandleA(const std::string& moduleName) override;
  ProcAddress GetProcAddress(Module module, const std::string& procName) override;
  bool CallPowerQuery(ProcAddress query) override;
  bool CallSetSuspendState(ProcAddress setSuspendState, bool hibernate, bool forceCritical,
                           bool disableWakeEvent) override;
  bool OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) override;
  bool GetTokenInformation(Handle token, int informationClass,
                           std::vector<std::uint8_t>* information, std::uint32_t informationLength,
                           std::uint32_t& returnLength) override;
  bool LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                             Luid& luid) override;
  bool AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                             const TokenPrivileges& newState, std::uint32_t bufferLength,
                             std::vector<std::uint8_t>* previousState,
                             std::uint32_t& returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
  bool LockWorkStation() override;
  Handle CreateWaitableTimerA(bool manualReset, const std::string& timerName) override;
  bool SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                        bool resume) override;
  std::int32_t RegCreateKeyExA(HKey key, const std::string& subKey, std::uint32_t samDesired,
                               HKey& result) override;
  std::int32_t RegSetValueExA(HKey key, const std::string& valueName, std::uint32_t type,
                              const std::string& data) override;
  std::int32_t RegCloseKey(HKey key) override;
  EventSource RegisterEventSourceA(const std::string& uncServerName,
                                   const std::string& sourceName) override;
  bool ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                    std::uint32_t eventId, const std::vector<std::string>& strings) override;
  bool DeregisterEventSource(EventSource eventLog) override;
  int MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                  std::uint32_t type) override;

 private:
  void Record(std::string line) { calls.push_back(std::move(line)); }
  std::uintptr_t Open(const std::string& name);
  bool Release(const std::string& name);
  std::string NameOf(std::uintptr_t handle) const;

  std::uint32_t lastError_ = 0;
  std::map<std::uintptr_t, std::string> names_;
  std::set<std::string> open_;
};

}  // namespace quennavar::testing
