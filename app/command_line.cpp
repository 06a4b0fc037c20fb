#include "app/command_line.h"

#include "app/actions.h"
#include "system/errors.h"

namespace quennavar {
namespace {

constexpr std::int32_t kDefaultWakeUpMinutes = 120;

// Codes above 127 are letters of the user's code page, not separators.
bool Separates(char c) { return static_cast<unsigned char>(c) <= ' '; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ReadHexadecimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0 || value > 0x0FFFFFFF) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);  // the bit pattern, so FFFFFFFF is -1
}

std::optional<std::int32_t> ReadDecimal(std::string_view text) {
  bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

// Where a wake-up time was given, minutes that are no number mean two hours.
template <typename Now, typename WithWakeUp>
void SleepAction(const ActionContext& context, const std::string& minutes, Now now,
                 WithWakeUp withWakeUp) {
  if (minutes.empty()) {
    now(context, false);
  } else {
    std::int32_t seconds = MinutesToSeconds(ReadInteger(minutes).value_or(kDefaultWakeUpMinutes));
    withWakeUp(context, seconds, false);
  }
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return k < commandLine.size() ? commandLine[k] : '\0'; };
  for (;;) {
    for (;;) {
      while (i < commandLine.size() && Separates(at(i))) ++i;
      if (at(i) == '"' && at(i + 1) == '"')
        i += 2;
      else
        break;
    }
    if (i >= commandLine.size()) return words;
    std::string word;
    while (i < commandLine.size() && !Separates(at(i))) {
      if (at(i) == '"') {
        for (++i; i < commandLine.size() && at(i) != '"'; ++i) word += at(i);
        if (i < commandLine.size()) ++i;
      } else {
        word += at(i++);
      }
    }
    words.push_back(std::move(word));
  }
}

std::optional<std::int32_t> ReadInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"})
    if (text.starts_with(prefix)) return ReadHexadecimal(text.substr(prefix.size()));
  return ReadDecimal(text);
}

std::int32_t MinutesToSeconds(std::int32_t minutes) {
  std::int32_t seconds = 0;
  if (__builtin_mul_overflow(minutes, 60, &seconds)) throw EIntOverflow("Integer overflow");
  return seconds;
}

bool RunSwitch(const ActionContext& context, const std::string& argument1,
               const std::string& argument2) {
  Platform& os = context.os;
  std::string command = os.CharLowerBuffA(argument1);
  bool force = os.CharLowerBuffA(argument2) == "/terminate";

  const ActionDescription* action = ActionOfSwitch(command);
  if (!action) return false;
  switch (action->kind) {
    case ActionKind::Exit:
      action->exit(context, force);
      break;
    case ActionKind::Lock:
      // Unlike the tray's "Lock", this writes no record.
      if (Allowed(os, *action)) os.LockWorkStation();
      break;
    case ActionKind::Suspend:
      SleepAction(context, argument2, DoSuspend, SuspendAndWake);
      break;
    case ActionKind::Hibernate:
      SleepAction(context, argument2, DoHibernate, HibernateAndWake);
      break;
  }
  return true;
}

}  // namespace quennavar
