#include "system/journal.h"

#include "platform/unique_handle.h"
#include "system/errors.h"
#include "system/paths.h"
#include "system/version.h"

namespace quennavar {
namespace {

constexpr char kRegistrationKey[] = "System\\CurrentControlSet\\Services\\EventLog\\Application\\";
constexpr char kRefusal[] = "!!!";

std::string Now(const ActionContext& context) {
  SystemTime now;
  context.os.GetLocalTime(now);
  return DateTimeText(context.regional, now);
}

void Report(const ActionContext& context, EventType type, JournalEvent event,
            const std::vector<std::string>& insertions) {
  ReportAction(context.os, kEventSource, context.programPath, type, event, insertions);
}

// Only a program on a drive of the machine's own is registered. One on a
// share, or on a drive mapped to one (which an elevated program may not
// even see), would be opened over the network by every reader of the log,
// services running as SYSTEM among them, who would read whatever texts the
// share holds.
bool OnLocalDrive(Platform& os, const std::string& path) {
  std::optional<std::string> root = DriveRootOf(path);
  if (!root) return false;
  switch (os.GetDriveTypeA(*root)) {
    case kDriveRemovable:
    case kDriveFixed:
    case kDriveCdrom:
    case kDriveRamdisk:
      return true;
    default:
      return false;
  }
}

// Without administrative rights the key cannot be opened; the record is
// still written, and the viewer shows it without its text, as it does for
// a program that registers nothing because it is not on a local drive.
void RegisterSource(Platform& os, const std::string& source, const std::string& messageFile) {
  if (!OnLocalDrive(os, messageFile)) return;
  UniqueHKey key(os);
  const std::string subKey = kRegistrationKey + source;
  if (os.RegCreateKeyExA(HKey::LocalMachine, subKey, kKeyAllAccess, key.put()) != kErrorSuccess)
    return;
  if (os.RegSetValueExA(key.get(), "EventMessageFile", kRegExpandSz, messageFile) != kErrorSuccess)
    throw ERegistryException("Failed to set data for 'EventMessageFile'");
}

}  // namespace

void RecordAction(const ActionContext& context, bool succeeded, JournalEvent event) {
  Report(context, succeeded ? EventType::Success : EventType::Error, event, {Now(context)});
}

void RecordRefusal(const ActionContext& context, JournalEvent event) {
  Report(context, EventType::Error, event, {kRefusal});
}

void RecordSkippedAction(const ActionContext& context, const std::string& action) {
  Report(context, EventType::Success, JournalEvent::Skipped, {action, Now(context)});
}

void ReportAction(Platform& os, const std::string& source, const std::string& messageFile,
                  EventType type, JournalEvent event, const std::vector<std::string>& insertions) {
  if (!IsWindowsNT(os)) return;
  RegisterSource(os, source, messageFile);
  UniqueEventSource eventLog(os, os.RegisterEventSourceA("", source));
  os.ReportEventA(eventLog.get(), static_cast<std::uint16_t>(type), 0,
                  static_cast<std::uint32_t>(event), insertions);
}

}  // namespace quennavar
