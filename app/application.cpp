#include "app/application.h"

#include "system/concat.h"
#include "system/paths.h"

namespace quennavar {
namespace {

// "QUENNAVAR.EXE" in a folder gives "Quennavar", "quennavar.exe" "quennavar":
// the first letter stays as it is. It is kept whole, all the bytes of its
// character ("Р" of "РАБОЧИЙ" takes two in UTF-8), and only what follows is
// lowered.
std::string TitleOf(Platform& os, const std::string& programPath) {
  std::string name = FileNameOf(programPath);
  name = name.substr(0, name.rfind('.'));
  std::size_t first = os.FirstCharacterSize(name);
  return name.replace(first, std::string::npos, os.CharLowerBuffA(name.substr(first)));
}

}  // namespace

std::string_view FullStopFor(std::string_view message) {
  return !message.empty() && static_cast<unsigned char>(message.back()) > '.' ? "." : "";
}

void ShowApplicationError(Platform& os, HWnd owner, const std::string& programPath,
                          const Exception& error) {
  os.MessageBoxA(owner, Concat({error.Message(), FullStopFor(error.Message())}),
                 TitleOf(os, programPath), kMbOk | kMbIconStop);
}

TApplication::TApplication(Platform& os, const std::string& programPath)
    : BaseWindow(os), FProgramPath(programPath) {
  Create(0, kProgramName, kWsPopup, 0, 0, HWnd::Null);
}

void TApplication::SetMainWindow(HWnd window, ApplicationHooks& hooks) {
  FMainWindow = window;
  FHooks = &hooks;
}

void TApplication::Minimize() {
  FOs.ShowWindow(FMainWindow, kSwHide);
  FMinimized = true;
  if (FHooks) FHooks->ApplicationMinimized();
}

void TApplication::Restore() {
  if (!FMinimized) return;
  FOs.ShowWindow(FMainWindow, kSwShowNormal);
  FMinimized = false;
  if (FHooks) FHooks->ApplicationRestored();
}

void TApplication::BringToFront() { FOs.SetForegroundWindow(FMainWindow); }

int TApplication::Run() { return FOs.RunMessageLoop(); }

void TApplication::ShowException(const Exception& error) {
  ShowApplicationError(FOs, Handle(), FProgramPath, error);
}

}  // namespace quennavar
