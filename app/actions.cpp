#include "app/actions.h"

namespace quennavar {
namespace {

const ActionDescription* ByText(const char* ActionDescription::*field, std::string_view text) {
  for (const ActionDescription& action : kActions)
    if (text == action.*field) return &action;
  return nullptr;
}

}  // namespace

const ActionDescription* ActionOfKeyword(std::string_view keyword) {
  return ByText(&ActionDescription::keyword, keyword);
}

const ActionDescription* ActionOfSwitch(std::string_view loweredSwitch) {
  return ByText(&ActionDescription::commandSwitch, loweredSwitch);
}

const ActionDescription* ActionOfMenuItem(std::uint32_t item) {
  for (const ActionDescription& action : kActions)
    if (item == action.menuItem) return &action;
  return nullptr;
}

const ActionDescription* ActionOfRadio(std::uint32_t radio) {
  for (const ActionDescription& action : kActions)
    if (radio == action.radio) return &action;
  return nullptr;
}

bool Allowed(Platform& os, const ActionDescription& action) {
  switch (action.kind) {
    case ActionKind::Lock:
      return IsWindowsNT(os);
    case ActionKind::Suspend:
      return CanSuspend(os);
    case ActionKind::Hibernate:
      return CanHibernate(os);
    case ActionKind::Exit:
      break;
  }
  return true;
}

bool RunsFromTray(Platform& os, const ActionDescription& action) {
  return action.kind == ActionKind::Lock || Allowed(os, action);
}

void RunFromTray(const ActionContext& context, const ActionDescription& action, bool force) {
  if (!RunsFromTray(context.os, action)) return;
  switch (action.kind) {
    case ActionKind::Exit:
      return action.exit(context, force);
    case ActionKind::Lock:
      return DoLock(context);
    case ActionKind::Suspend:
      return DoSuspend(context, false);
    case ActionKind::Hibernate:
      return DoHibernate(context, false);
  }
}

}  // namespace quennavar
