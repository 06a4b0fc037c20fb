#include "app/actions.h"

#include "system/version.h"

namespace quennavar {
namespace {

template <typename Field, typename Value>
const ActionDescription* ActionWhere(Field ActionDescription::*field, const Value& value) {
  for (const ActionDescription& action : kActions)
    if (value == action.*field) return &action;
  return nullptr;
}

}  // namespace

const ActionDescription* ActionOfKeyword(std::string_view keyword) {
  return ActionWhere(&ActionDescription::keyword, keyword);
}

const ActionDescription* ActionOfSwitch(std::string_view loweredSwitch) {
  return ActionWhere(&ActionDescription::commandSwitch, loweredSwitch);
}

const ActionDescription* ActionOfMenuItem(std::uint32_t item) {
  return ActionWhere(&ActionDescription::menuItem, item);
}

const ActionDescription* ActionOfRadio(std::uint32_t radio) {
  return ActionWhere(&ActionDescription::radio, radio);
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
