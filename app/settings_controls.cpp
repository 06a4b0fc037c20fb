#include "app/settings_controls.h"

#include "app/actions.h"
#include "system/concat.h"
#include "system/hex_text.h"

namespace quennavar {
using namespace control;
namespace {

constexpr TimeOfDay kPickerStartTime{11, 53, 0, 0};

struct ControlClass {
  const char* className;
  std::uint32_t style;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::GroupBox:
      return {"BUTTON", kBsGroupBox};
    case ControlKind::Icon:
      return {"STATIC", kSsIcon};
    case ControlKind::Label:
    case ControlKind::BoldLabel:
      return {"STATIC", kSsLeft};
    case ControlKind::RadioButton:
      return {"BUTTON", kBsAutoRadioButton};
    case ControlKind::CheckBox:
      return {"BUTTON", kBsAutoCheckBox};
    case ControlKind::TimePicker:
      return {"SysDateTimePick32", kDtsTimeFormat};
    case ControlKind::Button:
      return {"BUTTON", kBsPushButton};
  }
  return {"STATIC", 0};
}

std::size_t IndexOf(ControlId id) { return id - gbAction; }

const ControlDescription& DescriptionOf(ControlId id) {
  for (const ControlDescription& control : kSettingsWindow)
    if (control.id == id) return control;
  return kSettingsWindow[0];
}

}  // namespace

Rect ClientArea(TDpiScale scale) { return {0, 0, scale(kClientWidth), scale(kClientHeight)}; }

// Every edge is scaled from the client area's corner, not from its group's
// nor from the control's other edge: rounded once, so that controls that
// meet or stand apart at 96 DPI still do at any scale.
Rect ControlBounds(const ControlDescription& control, TDpiScale scale) {
  int left = control.left;
  int top = control.top;
  if (control.parent != NoControl) {
    left += DescriptionOf(control.parent).left;
    top += DescriptionOf(control.parent).top;
  }
  return {scale(left), scale(top), scale(left + control.width), scale(top + control.height)};
}

TSettingsControls::TSettingsControls(Platform& os, TDpiScale scale)
    : FOs(os),
      FScale(scale),
      FFont(os, HFont::Null),
      FBoldFont(os, HFont::Null),
      FLogo(os, HIcon::Null) {}

HWnd TSettingsControls::Control(ControlId id) const {
  return IndexOf(id) < FControls.size() ? FControls[IndexOf(id)] : HWnd::Null;
}

void TSettingsControls::Create(HWnd window) {
  FCreated = true;
  FFont = UniqueFont(FOs, FOs.CreateFontA(FScale.FontHeight(kFontPoints), kFwNormal, kFontName));
  FBoldFont = UniqueFont(FOs, FOs.CreateFontA(FScale.FontHeight(kFontPoints), kFwBold, kFontName));
  FOs.InitCommonControlsEx(kIccDateClasses);
  HWnd tooltip = FOs.CreateWindowExA(0, "tooltips_class32", "", kWsPopup | kTtsAlwaysTip, 0, 0, 0,
                                     0, window, 0);
  for (const ControlDescription& control : kSettingsWindow) {
    ControlClass kind = ClassOf(control.kind);
    Rect bounds = ControlBounds(control, FScale);
    std::uint32_t style = kWsChild | kWsVisible | kind.style;
    if (control.startsGroup) style |= kWsGroup | kWsTabStop;
    const char* caption = control.kind == ControlKind::Icon ? "" : control.caption;
    HWnd created = FOs.CreateWindowExA(0, kind.className, caption, style, bounds.left, bounds.top,
                                       bounds.right - bounds.left, bounds.bottom - bounds.top,
                                       window, control.id);
    FControls[IndexOf(control.id)] = created;
    HFont font = control.kind == ControlKind::BoldLabel ? FBoldFont.get() : FFont.get();
    FOs.SendMessageA(created, kWmSetFont, static_cast<std::uintptr_t>(font), 0);
    if (control.kind == ControlKind::Icon) {
      FLogo = UniqueIcon(FOs, FOs.LoadImageA(control.caption, FOs.GetSystemMetrics(kSmCxIcon),
                                             FOs.GetSystemMetrics(kSmCyIcon)));
      FOs.SendMessageA(created, kStmSetIcon, static_cast<std::uintptr_t>(FLogo.get()), 0);
    }
    if (control.hint) FOs.AddTool(tooltip, window, created, control.hint);
  }
  CheckRadio(rbShutdown);
  CheckRadio(rgOptionsShowWindow);
  ShowPickerTime(EncodeTime(kPickerStartTime));
}

bool TSettingsControls::Checked(ControlId id) const {
  return FOs.SendMessageA(Control(id), kBmGetCheck, 0, 0) == kBstChecked;
}

void TSettingsControls::SetChecked(ControlId id, bool checked) {
  FOs.SendMessageA(Control(id), kBmSetCheck, checked ? kBstChecked : 0, 0);
}

void TSettingsControls::CheckRadio(ControlId id) {
  ControlId group = DescriptionOf(id).parent;
  for (const ControlDescription& control : kSettingsWindow)
    if (control.kind == ControlKind::RadioButton && control.parent == group)
      SetChecked(control.id, control.id == id);
}

void TSettingsControls::Enable(ControlId id, bool enabled) {
  FOs.EnableWindow(Control(id), enabled);
}

void TSettingsControls::Show(const SettingsRecord& settings, const std::string& programPath) {
  CheckRadio(settings.FShowOnClick ? rgOptionsShowWindow : rgOptionsDoAction);
  // The exit actions are offered everywhere; the others only where allowed.
  for (const ActionDescription& action : kActions) {
    bool allowed = Allowed(FOs, action);
    if (action.kind != ActionKind::Exit) Enable(action.radio, allowed);
    if (allowed && settings.FAction == action.keyword) CheckRadio(action.radio);
  }
  SetChecked(cbForceterminate, settings.FForceTerminate);
  SetChecked(cbTimerEnabled, settings.FTimerEnable);
  Enable(DateTimePicker, settings.FTimerEnable);
  ShowPickerTime(settings.FActionTime);
  ShowVersion(programPath);
}

SettingsChoice TSettingsControls::Choice() const {
  SettingsChoice choice;
  for (const ActionDescription& action : kActions)
    if (!choice.action && Checked(action.radio)) choice.action = action.keyword;
  choice.timerEnabled = Checked(cbTimerEnabled);
  choice.showWindowOnClick = Checked(rgOptionsShowWindow);
  choice.time = PickerTime();
  return choice;
}

DayFraction TSettingsControls::PickerTime() const {
  SystemTime time;
  FOs.DateTimeGetSystemTime(Control(DateTimePicker), time);
  return EncodeTime({time.wHour, time.wMinute, time.wSecond, 0});
}

void TSettingsControls::ShowPickerFormat(const std::string& format) {
  if (!format.empty()) FOs.DateTimeSetFormat(Control(DateTimePicker), format);
}

void TSettingsControls::ShowPickerTime(DayFraction time) {
  SystemTime shown;
  FOs.GetLocalTime(shown);  // the picker wants a whole date; only its time shows
  TimeOfDay t = DecodeTime(time);
  shown.wHour = static_cast<std::uint16_t>(t.hour);
  shown.wMinute = static_cast<std::uint16_t>(t.minute);
  shown.wSecond = static_cast<std::uint16_t>(t.second);
  shown.wMilliseconds = 0;
  FOs.DateTimeSetSystemTime(Control(DateTimePicker), shown);
}

// By its full path: a bare name would be looked for along the library
// search, which no longer starts in the program's folder.
void TSettingsControls::ShowVersion(const std::string& programPath) {
  std::uint32_t size = FOs.GetFileVersionInfoSizeA(programPath);
  std::vector<std::uint8_t> block;
  if (size == 0 || !FOs.GetFileVersionInfoA(programPath, size, block)) return;
  std::vector<std::uint8_t> translation;
  if (!FOs.VerQueryValueA(block, "\\VarFileInfo\\Translation", translation) ||
      translation.size() < 4)
    return;
  std::uint32_t entry = translation[0] | translation[1] << 8 | translation[2] << 16 |
                        static_cast<std::uint32_t>(translation[3]) << 24;
  std::string language = HexText((entry & 0xFFFF) * 65536 + (entry >> 16), 8);
  std::vector<std::uint8_t> version;
  if (!FOs.VerQueryValueA(block, Concat({"\\StringFileInfo\\", language, "\\FileVersion"}),
                          version))
    return;
  std::string text(version.begin(), version.end());
  FOs.SetWindowTextA(Control(VerInfoLabel), text.substr(0, text.find('\0')));
}

bool TSettingsControls::Navy(HWnd label) const {
  return label != HWnd::Null && (label == Control(Quennavar) || label == Control(VerInfoLabel));
}

std::intptr_t TSettingsControls::NavyLabelColours(HDc dc) {
  FOs.SetTextColor(dc, kNavy);
  FOs.SetBkMode(dc, kTransparent);
  return FOs.GetSysColorBrush(kColorBtnFace);
}

}  // namespace quennavar
