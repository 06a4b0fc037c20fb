#include "app/quennavar.h"

#include <vector>

#include "app/command_line.h"
#include "app/main_unit.h"
#include "system/concat.h"
#include "system/hex_text.h"
#include "system/paths.h"
#include "system/regional.h"

namespace quennavar {
namespace {

std::string Argument(const std::vector<std::string>& words, std::size_t index) {
  return index < words.size() ? words[index] : std::string();
}

}  // namespace

void ShowFatalError(Platform& os, const std::string& programPath, const Exception& error) {
  std::string address =
      HexText(reinterpret_cast<std::uintptr_t>(error.Address()), 2 * sizeof(void*));
  std::string text =
      Concat({"Exception ", error.ClassName(), " in module ", FileNameOf(programPath), " at ",
              address, ".\r\n", error.Message(), FullStopFor(error.Message()), "\r\n"});
  os.MessageBoxA(HWnd::Null, text, "Application Error", kMbIconStop);
}

int Quennavar(Platform& os) {
  // The system's own path, not the first word of the command line, which may
  // be relative or missing altogether.
  ActionContext context{os, ReadRegionalSettings(os), os.GetModuleFileNameA()};
  std::vector<std::string> words = SplitCommandLine(os.GetCommandLineA());
  try {
    if (RunSwitch(context, Argument(words, 1), Argument(words, 2))) return 0;
  } catch (const Exception& error) {
    ShowFatalError(os, context.programPath, error);
    return 1;
  }
  return RunTrayApplication(context);
}

int RunTrayApplication(ActionContext& context) {
  try {
    TApplication application(context.os, context.programPath);
    TShutDownForm form(context, application);
    form.FormCreate();
    // The window starts minimized: only the tray icon shows.
    application.Minimize();
    application.Run();
    return 0;  // the form takes its icon away before its window goes
  } catch (const EOSError& error) {
    // Without its windows the program would wait unseen for messages that
    // never come.
    ShowApplicationError(context.os, HWnd::Null, context.programPath, error);
    return 1;
  }
}

}  // namespace quennavar
