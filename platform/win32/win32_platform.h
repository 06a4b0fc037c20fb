// The real platform: each method forwards to the Win32 function of its name.
#pragma once

#include "platform/platform.h"

namespace quennavar {

class Win32Platform : public Platform {
 public:
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
};

}  // namespace quennavar
