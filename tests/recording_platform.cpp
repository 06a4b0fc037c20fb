#include "tests/recording_platform.h"

#include <algorithm>
#include <cstdio>

namespace quennavar::testing {
namespace {

constexpr std::uint32_t kErrorCannotFindWndClass = 1407;
constexpr std::uint32_t kErrorInvalidMenuHandle = 1401;
constexpr std::uint32_t kStmSetIcon = 0x0170;
constexpr std::uintptr_t kPowerLibraryEntries = 0x6C481000;
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

std::string RecordingPlatform::HexOf(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

std::string RecordingPlatform::NameOf(std::uintptr_t handle) const {
  auto found = FNames.find(handle);
  return found != FNames.end() ? found->second
         : handle == 0         ? "NULL"
                               : HexOf(static_cast<std::uint32_t>(handle));
}

Handle RecordingPlatform::GetCurrentProcess() { return Named<Handle>(kCurrentProcess, "process"); }

std::string RecordingPlatform::FormatMessageA(std::uint32_t messageId) {
  return messageId == kErrorCannotFindWndClass ? "Cannot find window class."
                                               : "Error " + std::to_string(messageId) + ".";
}

std::string RecordingPlatform::CharLowerBuffA(std::string text) {
  Log("CharLowerBuffA", text);
  // Code page 1252: ASCII and the accented capitals from 0xC0 lower alike.
  for (char& c : text) {
    auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7))
      c = static_cast<char>(code + 0x20);
  }
  return text;
}

Module RecordingPlatform::LoadLibraryA(const std::string& fileName) {
  Log("LoadLibraryA", fileName);
  if (!powerLibraryLoads || fileName != "powrprof.dll") return static_cast<Module>(2);
  return Named<Module>(powerLibrary, "powrprof");
}

Module RecordingPlatform::GetModuleHandleA(const std::string& moduleName) {
  Log("GetModuleHandleA", moduleName);
  bool loaded = FNames.contains(powerLibrary) && moduleName == "powrprof.dll";
  return static_cast<Module>(loaded ? powerLibrary : 0);
}

ProcAddress RecordingPlatform::GetProcAddress(Module module, const std::string& procName) {
  Log("GetProcAddress", module, procName);
  if (static_cast<std::uintptr_t>(module) != powerLibrary || missingEntries.contains(procName))
    return ProcAddress::Null;
  return Named<ProcAddress>(kPowerLibraryEntries + FNames.size(), procName);
}

bool RecordingPlatform::AdjustTokenPrivileges(Handle token, bool disableAllPrivileges,
                                              const TokenPrivileges& newState,
                                              std::uint32_t bufferLength,
                                              std::vector<std::uint8_t>* previousState,
                                              std::uint32_t& returnLength) {
  bool first = previousState == nullptr;
  Log("AdjustTokenPrivileges", token, disableAllPrivileges,
      Braced(newState.PrivilegeCount, Raw{"luid " + std::to_string(newState.Privilege.LowPart)},
             newState.Attributes),
      bufferLength, Raw{first ? "NULL" : "buffer[" + std::to_string(previousState->size()) + "]"},
      Raw{"returned " + std::to_string(returnLength)});
  returnLength = previousStateLength;
  return first ? firstAdjustSucceeds : secondAdjustSucceeds;
}

bool RecordingPlatform::ReportEventA(EventSource eventLog, std::uint16_t type,
                                     std::uint16_t category, std::uint32_t eventId,
                                     const std::vector<std::string>& strings) {
  std::string line = "ReportEventA(";
  if (eventLog == EventSource::Null) line += "NULL, ";
  line += "type=" + std::to_string(type) + ", ";
  if (category != 0) line += "category=" + std::to_string(category) + ", ";
  line += "id=" + std::to_string(eventId);
  for (const std::string& text : strings) line += ", " + Text(text);
  calls.push_back(line + ")");
  return eventLog != EventSource::Null;
}

HWnd RecordingPlatform::CreateWindowExA(std::uint32_t exStyle, const std::string& windowName,
                                        std::uint32_t style, int x, int y, int width, int height,
                                        HWnd owner, WindowHandler& handler) {
  if (FWindows == windowsCreated) {
    Log("CreateWindowExA", windowName) += " = NULL";
    FLastError = kErrorCannotFindWndClass;
    return HWnd::Null;
  }
  auto window = Open<HWnd>("window" + std::to_string(++FWindows));
  Log("CreateWindowExA", Hex{exStyle}, windowName, Hex{style},
      Raw{std::to_string(width) + "x" + std::to_string(height)}, Raw{"owner " + NameOf(owner)}) +=
      " = " + NameOf(window);
  FHandlers[window] = &handler;
  FWindowRects[window] = {x, y, x + width, y + height};
  Send(window, kWmNcCreate);
  return window;
}

bool RecordingPlatform::DestroyWindow(HWnd window) {
  Log("DestroyWindow", window);
  // As the system does: the window hears of it first, and nothing after the last.
  Send(window, kWmDestroy);
  Send(window, kWmNcDestroy);
  FHandlers.erase(window);
  // The system destroys a window's children with it.
  for (HWnd child : FChildren[window]) Release(child);
  return Release(window);
}

bool RecordingPlatform::ShowWindow(HWnd window, int command) {
  Log("ShowWindow", window, command == kSwHide ? "SW_HIDE" : "SW_SHOWNORMAL");
  // As the system does, a window hears of a change of its visibility first.
  bool show = command != kSwHide;
  bool wasVisible = FVisible.contains(window);
  if (show == wasVisible) return wasVisible;
  if (show)
    FVisible.insert(window);
  else
    FVisible.erase(window);
  Send(window, kWmShowWindow, show);
  return wasVisible;
}

HWnd RecordingPlatform::CreateWindowExA(std::uint32_t exStyle, const std::string& className,
                                        const std::string& windowName, std::uint32_t style, int x,
                                        int y, int width, int height, HWnd parent,
                                        std::uint32_t id) {
  // Without WS_CHILD the id is a menu handle, and no menu has that number.
  if (!(style & kWsChild) && id != 0) {
    FLastError = kErrorInvalidMenuHandle;
    return HWnd::Null;
  }
  auto window = Open<HWnd>(id ? "control" + std::to_string(id) : className);
  FChildren[parent].push_back(window);
  FWindowRects[window] = {x, y, x + width, y + height};
  enabled[window] = true;
  texts[window] = windowName;
  classes[window] = className + " " + HexOf(style) + " " + HexOf(exStyle);
  return window;
}

std::intptr_t RecordingPlatform::SendMessageA(HWnd window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t) {
  if (message == kWmSetFont) fonts[window] = NameOf(wParam);
  if (message == kStmSetIcon) icons[window] = NameOf(wParam);
  if (message == kBmSetCheck) {
    checks[window] = static_cast<std::intptr_t>(wParam);
    Log("CheckButton", window, wParam);
  }
  return message == kBmGetCheck ? checks[window] : 0;
}

bool RecordingPlatform::VerQueryValueA(const std::vector<std::uint8_t>&,
                                       const std::string& subBlock,
                                       std::vector<std::uint8_t>& value) {
  Log("VerQueryValueA", subBlock);
  if (subBlock == "\\VarFileInfo\\Translation") {
    value = versionTranslation;
    return true;
  }
  if (!fileVersion || subBlock != "\\StringFileInfo\\040904E4\\FileVersion") return false;
  value.assign(fileVersion->begin(), fileVersion->end());
  value.push_back(0);
  return true;
}

std::intptr_t RecordingPlatform::Send(HWnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  auto handler = FHandlers.find(window);
  return handler == FHandlers.end() ? 0
                                    : handler->second->WindowProc(window, message, wParam, lParam);
}

}  // namespace quennavar::testing
