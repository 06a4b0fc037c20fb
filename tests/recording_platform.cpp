#include "tests/recording_platform.h"

#include <algorithm>
#include <cstdio>

namespace quennavar::testing {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
std::string Bool(bool value) { return value ? "TRUE" : "FALSE"; }

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

constexpr std::uintptr_t kPowerLibraryHandle = 0x6C480000;
constexpr std::uintptr_t kCurrentProcess = ~std::uintptr_t{0};

}  // namespace

std::map<LocaleItem, std::string> RecordingPlatform::UsEnglish() {
  return {{LocaleItem::STime, ":"},  {LocaleItem::ITLZero, "0"},
          {LocaleItem::ITime, "0"},  {LocaleItem::ITimeMarkPosn, "0"},
          {LocaleItem::S1159, "AM"}, {LocaleItem::S2359, "PM"},
          {LocaleItem::SDate, "/"},  {LocaleItem::SShortDate, "M/d/yyyy"}};
}

std::vector<std::string> RecordingPlatform::Only(std::initializer_list<std::string> names) const {
  std::vector<std::string> kept;
  for (const std::string& call : calls) {
    std::string name = call.substr(0, call.find('('));
    if (std::find(names.begin(), names.end(), name) != names.end()) kept.push_back(call);
  }
  return kept;
}

std::uintptr_t RecordingPlatform::Open(const std::string& name) {
  std::uintptr_t handle = 0x100 * (names_.size() + 1);
  names_[handle] = name;
  open_.insert(name);
  return handle;
}

bool RecordingPlatform::Release(const std::string& name) { return open_.erase(name) == 1; }

std::string RecordingPlatform::NameOf(std::uintptr_t handle) const {
  auto found = names_.find(handle);
  return found != names_.end() ? found->second : handle == 0 ? "NULL" : Hex(handle);
}

std::string RecordingPlatform::GetCommandLineA() { return commandLine; }

std::string RecordingPlatform::GetModuleFileNameA() { return modulePath; }

Handle RecordingPlatform::GetCurrentProcess() {
  names_[kCurrentProcess] = "process";
  return static_cast<Handle>(kCurrentProcess);
}

std::uint32_t RecordingPlatform::GetLastError() {
  Record("GetLastError() = " + std::to_string(lastError_));
  return lastError_;
}

bool RecordingPlatform::CloseHandle(Handle handle) {
  std::string name = NameOf(static_cast<std::uintptr_t>(handle));
  Record("CloseHandle(" + name + ")");
  return Release(name);
}

bool RecordingPlatform::GetVersionExA(OsVersionInfo& info) {
  info = version;
  return true;
}

void RecordingPlatform::GetLocalTime(SystemTime& time) { time = localTime; }

std::string RecordingPlatform::GetLocaleInfoA(LocaleItem item) {
  auto found = locale.find(item);
  return found != locale.end() ? found->second : "";
}

std::string RecordingPlatform::CharLowerBuffA(std::string text) {
  Record("CharLowerBuffA(" + Quoted(text) + ")");
  // Code page 1252: ASCII and the accented capitals from 0xC0 lower alike.
  for (char& c : text) {
    auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
      c = static_cast<char>(code + 0x20);
  }
  return text;
}

Module RecordingPlatform::LoadLibraryA(const std::string& fileName) {
  Record("LoadLibraryA(" + Quoted(fileName) + ")");
  if (!powerLibraryLoads || fileName != "powrprof.dll") return static_cast<Module>(2);
  names_[kPowerLibraryHandle] = "powrprof";
  return static_cast<Module>(kPowerLibraryHandle);
}

Module RecordingPlatform::GetModuleHandleA(const std::string& moduleName) {
  Record("GetModuleHandleA(" + Quoted(moduleName) + ")");
  bool loaded = names_.contains(kPowerLibraryHandle) && moduleName == "powrprof.dll";
  return static_cast<Module>(loaded ? kPowerLibraryHandle : 0);
}

ProcAddress RecordingPlatform::GetProcAddress(Module module, const std::string& procName) {
  Record("GetProcAddress(" + NameOf(static_cast<std::uintptr_t>(module)) + ", " + Quoted(procName) +
         ")");
  if (static_cast<std::uintptr_t>(module) != kPowerLibraryHandle ||
      missingEntries.contains(procName))
    return ProcAddress::Null;
  std::uintptr_t entry = kPowerLibraryHandle + 0x1000 + names_.size();
  names_[entry] = procName;
  return static_cast<ProcAddress>(entry);
}

bool RecordingPlatform::CallPowerQuery(ProcAddress query) {
  std::string name = NameOf(static_cast<std::uintptr_t>(query));
  Record(name + "()");
  return name == "IsPwrSuspendAllowed" ? suspendAllowed : hibernateAllowed;
}

bool RecordingPlatform::CallSetSuspendState(ProcAddress setSuspendState, bool hibernate,
                                            bool forceCritical, bool disableWakeEvent) {
  Record(NameOf(static_cast<std::uintptr_t>(setSuspendState)) + "(" + Bool(hibernate) + ", " +
         Bool(forceCritical) + ", " + Bool(disableWakeEvent) + ")");
  return setSuspendStateSucceeds;
}

bool RecordingPlatform::OpenProcessToken(Handle process, std::uint32_t desiredAccess,
                                         Handle& token) {
  Record("OpenProcessToken(" + NameOf(static_cast<std::uintptr_t>(process)) + ", " +
         Hex(desiredAccess) + ")");
  token = openTokenSucceeds ? static_cast<Handle>(Open("token")) : Handle::Null;
  return openTokenSucceeds;
}

bool RecordingPlatform::GetTokenInformation(Handle token, int informationClass,
                                            std::vector<std::uint8_t>* information,
                                            std::uint32_t informationLength,
                                            std::uint32_t& returnLength) {
  Record("GetTokenInformation(" + NameOf(static_cast<std::uintptr_t>(token)) + ", " +
         std::to_string(informationClass) + ", " + (information ? "buffer" : "NULL") + ", " +
         std::to_string(informationLength) + ")");
  returnLength = 16;
  lastError_ = tokenProbeSucceeds ? 0 : tokenProbeError;
  return tokenProbeSucceeds;
}

bool RecordingPlatform::LookupPrivilegeValueA(const std::string& systemName,
                                              const std::string& name, Luid& luid) {
  Record("LookupPrivilegeValueA(" + (systemName.empty() ? "NULL" : Quoted(systemName)) + ", " +
         Quoted(name) + ")");
  luid = {19, 0};  // the shutdown privilege's value on NT
  return lookupPrivilegeSucceeds;
}

bool RecordingPlatform::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                              const TokenPrivileges& newState,
                                              std::uint32_t bufferLength,
                                              std::vector<std::uint8_t>* previousState,
                                              std::uint32_t& returnLength) {
  bool first = previousState == nullptr;
  Record("AdjustTokenPrivileges(" + NameOf(static_cast<std::uintptr_t>(token)) + ", " +
         Bool(disableAllPrivileges) + ", {" + std::to_string(newState.PrivilegeCount) + ", luid " +
         std::to_string(newState.Privilege.LowPart) + ", " + std::to_string(newState.Attributes) +
         "}, " + std::to_string(bufferLength) + ", " +
         (first ? "NULL" : "buffer[" + std::to_string(previousState->size()) + "]") +
         ", returned " + std::to_string(returnLength) + ")");
  returnLength = previousStateLength;
  return first ? firstAdjustSucceeds : secondAdjustSucceeds;
}

bool RecordingPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  Record("ExitWindowsEx(" + std::to_string(flags) + ", " + Hex(reason) + ")");
  return exitWindowsSucceeds;
}

bool RecordingPlatform::LockWorkStation() {
  Record("LockWorkStation()");
  return lockSucceeds;
}

Handle RecordingPlatform::CreateWaitableTimerA(bool manualReset, const std::string& timerName) {
  Record("CreateWaitableTimerA(NULL, " + Bool(manualReset) + ", " + Quoted(timerName) + ")");
  return createTimerSucceeds ? static_cast<Handle>(Open("timer")) : Handle::Null;
}

bool RecordingPlatform::SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                                         bool resume) {
  Record("SetWaitableTimer(" + NameOf(static_cast<std::uintptr_t>(timer)) + ", " +
         std::to_string(dueTime) + ", " + std::to_string(period) + ", NULL, NULL, " + Bool(resume) +
         ")");
  return setTimerSucceeds && timer != Handle::Null;
}

std::int32_t RecordingPlatform::RegCreateKeyExA(HKey key, const std::string& subKey,
                                                std::uint32_t samDesired, HKey& result) {
  Record("RegCreateKeyExA(" + std::string(key == HKey::LocalMachine ? "HKEY_LOCAL_MACHINE" : "?") +
         ", " + Quoted(subKey) + ", " + Hex(samDesired) + ")");
  result = regCreateKeyStatus == kErrorSuccess ? static_cast<HKey>(Open("key")) : HKey::Null;
  return regCreateKeyStatus;
}

std::int32_t RecordingPlatform::RegSetValueExA(HKey key, const std::string& valueName,
                                               std::uint32_t type, const std::string& data) {
  Record("RegSetValueExA(" + NameOf(static_cast<std::uintptr_t>(key)) + ", " + Quoted(valueName) +
         ", " + (type == kRegExpandSz ? "REG_EXPAND_SZ" : std::to_string(type)) + ", " +
         Quoted(data) + ")");
  return regSetValueStatus;
}

std::int32_t RecordingPlatform::RegCloseKey(HKey key) {
  std::string name = NameOf(static_cast<std::uintptr_t>(key));
  Record("RegCloseKey(" + name + ")");
  return Release(name) ? kErrorSuccess : 6;
}

EventSource RecordingPlatform::RegisterEventSourceA(const std::string& uncServerName,
                                                    const std::string& sourceName) {
  Record("RegisterEventSourceA(" + (uncServerName.empty() ? "NULL" : Quoted(uncServerName)) + ", " +
         Quoted(sourceName) + ")");
  return registerEventSourceSucceeds ? static_cast<EventSource>(Open("source")) : EventSource::Null;
}

bool RecordingPlatform::ReportEventA(EventSource eventLog, std::uint16_t type,
                                     std::uint16_t category, std::uint32_t eventId,
                                     const std::vector<std::string>& strings) {
  std::string line = "ReportEventA(";
  if (eventLog == EventSource::Null) line += "NULL, ";
  line += "type=" + std::to_string(type) + ", ";
  if (category != 0) line += "category=" + std::to_string(category) + ", ";
  line += "id=" + std::to_string(eventId);
  for (const std::string& text : strings) line += ", " + Quoted(text);
  Record(line + ")");
  return eventLog != EventSource::Null;
}

bool RecordingPlatform::DeregisterEventSource(EventSource eventLog) {
  std::string name = NameOf(static_cast<std::uintptr_t>(eventLog));
  Record("DeregisterEventSource(" + name + ")");
  return Release(name);
}

int RecordingPlatform::MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                                   std::uint32_t type) {
  Record("MessageBoxA(" + NameOf(static_cast<std::uintptr_t>(owner)) + ", " + Quoted(text) + ", " +
         Quoted(caption) + ", " + Hex(type) + ")");
  return 1;
}

}  // namespace quennavar::testing
