// Process, regional text, power, privileges, session, registry, event log
// and profile files.
#include "platform/win32/win32_platform.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace quennavar {
using namespace win32;

static_assert(sizeof(TokenPrivileges) == sizeof(TOKEN_PRIVILEGES));

namespace {

// By LateLibrary.
constexpr const char* kLateLibraries[] = {"shell32.dll", "comctl32.dll", "version.dll"};

}  // namespace

bool win32::Kernel32Loader::SetDefaultDllDirectories(std::uint32_t directoryFlags) {
  auto set = FunctionOf<BOOL(WINAPI*)(DWORD)>("kernel32.dll", "SetDefaultDllDirectories");
  return set && set(directoryFlags);
}

bool win32::Kernel32Loader::SetDllDirectoryA(const std::string& pathName) {
  auto set = FunctionOf<BOOL(WINAPI*)(LPCSTR)>("kernel32.dll", "SetDllDirectoryA");
  return set && set(pathName.c_str());
}

std::string win32::Kernel32Loader::GetSystemDirectoryA() {
  char folder[MAX_PATH];
  UINT length = ::GetSystemDirectoryA(folder, sizeof folder);
  return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

Module win32::Kernel32Loader::LoadLibraryExA(const std::string& fileName, std::uint32_t flags) {
  return FromWin32<Module>(::LoadLibraryExA(fileName.c_str(), nullptr, flags));
}

Win32Platform::~Win32Platform() {
  for (void* module : FLateLibraries)
    if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

void* Win32Platform::LateFunction(LateLibrary library, const char* name) {
  static_assert(std::size(kLateLibraries) == std::tuple_size_v<decltype(FLateLibraries)>);
  void*& module = FLateLibraries[static_cast<std::size_t>(library)];
  if (!module)
    module = ToWin32<HMODULE>(FLibraries.Load(kLateLibraries[static_cast<std::size_t>(library)]));
  return module ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name))
                : nullptr;
}

std::string Win32Platform::GetCommandLineA() { return ::GetCommandLineA(); }

// A message that does not fit is not cut but refused: under UTF-8 a CJK
// message of more than about 170 characters would not fit 512 bytes, and
// the buffer grows until it fits (a message has at most 64 KB).
std::string Win32Platform::FormatMessageA(std::uint32_t messageId) {
  for (std::string text(512, '\0');; text.resize(text.size() * 2)) {
    DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         messageId, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    if (length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER && text.size() < 65536)
      continue;
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n')) --length;
    text.resize(length);
    return text;
  }
}

std::string Win32Platform::GetModuleFileNameA() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: XP does not even say so
  }
}

Handle Win32Platform::GetCurrentProcess() { return FromWin32<Handle>(::GetCurrentProcess()); }

std::uint32_t Win32Platform::GetLastError() { return ::GetLastError(); }

bool Win32Platform::CloseHandle(Handle handle) { return ::CloseHandle(ToWin32<HANDLE>(handle)); }

bool Win32Platform::GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;  // 148: the original record, not the Ex one
  BOOL ok = ::GetVersionExA(&version);
  info = {version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
          version.dwPlatformId};
  return ok;
}

void Win32Platform::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Platform::GetLocalTime(SystemTime& time) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  time = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
          now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

std::string Win32Platform::GetLocaleInfoA(LocaleItem item) {
  char value[256];
  int length =
      ::GetLocaleInfoA(LOCALE_USER_DEFAULT, static_cast<LCTYPE>(item), value, sizeof value);
  return length > 0 ? std::string(value, length - 1) : std::string();
}

std::string Win32Platform::GetTimeFormatA(std::uint32_t flags, const SystemTime& time) {
  SYSTEMTIME system{time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                    time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
  char text[256];
  int length = ::GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &system, nullptr, text, sizeof text);
  return length > 0 ? std::string(text, length - 1) : std::string();
}

// Through UTF-16 and back: CharLowerBuffA lowers in place, so under UTF-8 a
// character whose lower case is longer ("Ⱥ" has two bytes, "ⱥ" three) cuts
// the text short, and one whose lower case is shorter leaves stray bytes.
std::string Win32Platform::CharLowerBuffA(std::string text) {
  if (text.empty()) return text;
  int size = static_cast<int>(text.size());
  int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), units);
  ::CharLowerBuffW(wide.data(), static_cast<DWORD>(units));
  int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(bytes));
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
  return text;
}

std::size_t Win32Platform::FirstCharacterSize(const std::string& text) {
  for (std::size_t size = 1; size <= text.size() && size <= 4; ++size)
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(size),
                              nullptr, 0) > 0)
      return size;
  return text.empty() ? 0 : 1;  // no character at all: the byte stands for itself
}

Module Win32Platform::LoadSystemLibrary(const std::string& fileName) {
  return FLibraries.Load(fileName);
}

Module Win32Platform::GetModuleHandleA(const std::string& moduleName) {
  return FromWin32<Module>(::GetModuleHandleA(moduleName.c_str()));
}

ProcAddress Win32Platform::GetProcAddress(Module module, const std::string& procName) {
  return static_cast<ProcAddress>(reinterpret_cast<std::uintptr_t>(
      ::GetProcAddress(ToWin32<HMODULE>(module), procName.c_str())));
}

bool Win32Platform::CallPowerQuery(ProcAddress query) {
  using PowerQuery = BOOLEAN(WINAPI*)();
  return ToWin32<PowerQuery>(query)() != 0;
}

bool Win32Platform::CallSetSuspendState(ProcAddress setSuspendState, bool hibernate,
                                        bool forceCritical, bool disableWakeEvent) {
  using SetSuspendStateProc = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
  return ToWin32<SetSuspendStateProc>(setSuspendState)(hibernate, forceCritical,
                                                       disableWakeEvent) != 0;
}

bool Win32Platform::OpenProcessToken(Handle process, std::uint32_t desiredAccess, Handle& token) {
  HANDLE opened = nullptr;
  BOOL ok = ::OpenProcessToken(ToWin32<HANDLE>(process), desiredAccess, &opened);
  token = ok ? FromWin32<Handle>(opened) : Handle::Null;  // the seam's promise: null on failure
  return ok;
}

bool Win32Platform::GetTokenInformation(Handle token, int informationClass,
                                        std::vector<std::uint8_t>* information,
                                        std::uint32_t informationLength,
                                        std::uint32_t& returnLength) {
  DWORD length = 0;
  BOOL ok = ::GetTokenInformation(ToWin32<HANDLE>(token),
                                  static_cast<TOKEN_INFORMATION_CLASS>(informationClass),
                                  BufferOf(information), informationLength, &length);
  returnLength = length;
  return ok;
}

bool Win32Platform::LookupPrivilegeValueA(const std::string& systemName, const std::string& name,
                                          Luid& luid) {
  LUID value{};
  BOOL ok = ::LookupPrivilegeValueA(OrNull(systemName), name.c_str(), &value);
  luid = {value.LowPart, value.HighPart};
  return ok;
}

bool Win32Platform::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                          const TokenPrivileges& newState,
                                          std::uint32_t bufferLength,
                                          std::vector<std::uint8_t>* previousState,
                                          std::uint32_t& returnLength) {
  TOKEN_PRIVILEGES state{};
  state.PrivilegeCount = newState.PrivilegeCount;
  state.Privileges[0].Luid = {newState.Privilege.LowPart, newState.Privilege.HighPart};
  state.Privileges[0].Attributes = newState.Attributes;
  DWORD length = returnLength;
  BOOL ok = ::AdjustTokenPrivileges(
      ToWin32<HANDLE>(token), disableAllPrivileges, &state, bufferLength,
      reinterpret_cast<TOKEN_PRIVILEGES*>(BufferOf(previousState)), &length);
  returnLength = length;
  return ok;
}

bool Win32Platform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason);
}

bool Win32Platform::LockWorkStation() { return ::LockWorkStation(); }

Handle Win32Platform::CreateWaitableTimerA(bool manualReset, const std::string& timerName) {
  return FromWin32<Handle>(::CreateWaitableTimerA(nullptr, manualReset, OrNull(timerName)));
}

bool Win32Platform::SetWaitableTimer(Handle timer, std::int64_t dueTime, std::int32_t period,
                                     bool resume) {
  LARGE_INTEGER due;
  due.QuadPart = dueTime;
  return ::SetWaitableTimer(ToWin32<HANDLE>(timer), &due, period, nullptr, nullptr, resume);
}

std::int32_t Win32Platform::RegCreateKeyExA(HKey key, const std::string& subKey,
                                            std::uint32_t samDesired, HKey& result) {
  HKEY opened = nullptr;
  LONG status = ::RegCreateKeyExA(ToWin32<HKEY>(key), subKey.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, samDesired, nullptr, &opened, nullptr);
  result = status == ERROR_SUCCESS ? FromWin32<HKey>(opened) : HKey::Null;
  return status;
}

std::int32_t Win32Platform::RegSetValueExA(HKey key, const std::string& valueName,
                                           std::uint32_t type, const std::string& data) {
  // String values are stored with their terminating zero.
  return ::RegSetValueExA(ToWin32<HKEY>(key), valueName.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
}

std::int32_t Win32Platform::RegCloseKey(HKey key) { return ::RegCloseKey(ToWin32<HKEY>(key)); }

EventSource Win32Platform::RegisterEventSourceA(const std::string& uncServerName,
                                                const std::string& sourceName) {
  return FromWin32<EventSource>(::RegisterEventSourceA(OrNull(uncServerName), sourceName.c_str()));
}

bool Win32Platform::ReportEventA(EventSource eventLog, std::uint16_t type, std::uint16_t category,
                                 std::uint32_t eventId, const std::vector<std::string>& strings) {
  std::vector<const char*> texts;
  for (const std::string& text : strings) texts.push_back(text.c_str());
  return ::ReportEventA(ToWin32<HANDLE>(eventLog), type, category, eventId, nullptr,
                        static_cast<WORD>(texts.size()), 0, texts.data(), nullptr);
}

bool Win32Platform::DeregisterEventSource(EventSource eventLog) {
  return ::DeregisterEventSource(ToWin32<HANDLE>(eventLog));
}

int Win32Platform::MessageBoxA(HWnd owner, const std::string& text, const std::string& caption,
                               std::uint32_t type) {
  return ::MessageBoxA(ToWin32<HWND>(owner), text.c_str(), caption.c_str(), type);
}

Handle Win32Platform::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                  std::uint32_t shareMode, std::uint32_t creationDisposition) {
  HANDLE file = ::CreateFileA(fileName.c_str(), desiredAccess, shareMode, nullptr,
                              creationDisposition, 0, nullptr);
  return file == INVALID_HANDLE_VALUE ? Handle::Null : FromWin32<Handle>(file);
}

std::uint32_t Win32Platform::GetDriveTypeA(const std::string& rootPathName) {
  return ::GetDriveTypeA(rootPathName.c_str());
}

std::string Win32Platform::GetPrivateProfileStringA(const std::string& appName,
                                                    const std::string& keyName,
                                                    const std::string& defaultValue,
                                                    std::uint32_t size,
                                                    const std::string& fileName) {
  std::string value(size, '\0');
  DWORD length = ::GetPrivateProfileStringA(appName.c_str(), keyName.c_str(), defaultValue.c_str(),
                                            value.data(), size, fileName.c_str());
  value.resize(length);
  return value;
}

bool Win32Platform::WritePrivateProfileStringA(const std::string& appName,
                                               const std::string& keyName, const std::string& value,
                                               const std::string& fileName) {
  return ::WritePrivateProfileStringA(appName.c_str(), keyName.c_str(), value.c_str(),
                                      fileName.c_str());
}

}  // namespace quennavar
