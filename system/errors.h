// Errors the user must see. Each carries the system's exact message; the
// handler that shows it also names the error's class and where it was raised.
#pragma once

#include <exception>
#include <string>

namespace quennavar {

class Exception : public std::exception {
 public:
  // Not inlined, so the return address is a code address in the raising function.
  [[gnu::noinline]] explicit Exception(std::string message)
      : FMessage(std::move(message)), FAddress(__builtin_return_address(0)) {}

  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const { return FMessage; }
  const void* Address() const { return FAddress; }
  virtual const char* ClassName() const = 0;

 private:
  std::string FMessage;
  const void* FAddress;
};

// Minutes that do not fit once turned into seconds.
class EIntOverflow final : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EIntOverflow"; }
};

// The event-source registration could not be written.
class ERegistryException final : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "ERegistryException"; }
};

// A stored time that does not read as a time of day.
class EConvertError final : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EConvertError"; }
};

// The system refused to make a window; the message is its reason.
class EOSError final : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EOSError"; }
};

// The settings file refused a write.
class EIniFileException final : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EIniFileException"; }
};

}  // namespace quennavar
