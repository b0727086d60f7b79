#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <string>

namespace vantora {

// The run-time error numbers the player raises and reacts to. The numbers are the classic ones
// because the error log, the operators reading it and a few handlers (which skip some numbers)
// all key on them.
namespace err {
inline constexpr std::int32_t kInvalidProcedureCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInternalError = 51;
inline constexpr std::int32_t kBadFileNameOrNumber = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectVariableNotSet = 91;
inline constexpr std::int32_t kInvalidUseOfNull = 94;
inline constexpr std::int32_t kWaitTimedOut = 287;
inline constexpr std::int32_t kObjectDoesNotSupport = 430;
inline constexpr std::int32_t kInvalidPicture = 481;
inline constexpr std::int32_t kCantOpenClipboard = 521;
inline constexpr std::int32_t kBofOrEof = 3021;
inline constexpr std::int32_t kOperationNotAllowedClosed = 3704;
inline constexpr std::int32_t kDatabaseError = 3709;
inline constexpr std::int32_t kDatabaseLocked = 3218;

// Media errors: every number from 0x80000000 up to 0x800405DF (the media graph's failure codes
// among them) and 430. The player treats them apart: a file that is not media is not worth a
// log line.
inline constexpr std::int32_t kMediaErrorCeiling = -2147220000;     // 0x800405E0
inline constexpr std::int32_t kMediaCannotRender = -2147220968;     // 0x80040218
inline constexpr std::int32_t kMediaUnknownFileType = -2147220928;  // 0x80040240
inline constexpr std::int32_t kMediaFileNotFound = -2147220970;     // 0x80040216
inline constexpr std::int32_t kMediaWrongState = -2147220953;       // 0x80040227

constexpr bool is_media_error(std::int32_t number) {
  return number < kMediaErrorCeiling || number == kObjectDoesNotSupport;
}

// The classic description of a number, or "Application-defined or object-defined error".
QString description(std::int32_t number);
}  // namespace err

// A run-time error: what a failing statement raises and a procedure's handler logs.
class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(std::int32_t number);
  RuntimeError(std::int32_t number, QString description);

  std::int32_t number() const { return number_; }
  const QString& description() const { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::int32_t number_;
  QString description_;
  std::string what_;
};

}  // namespace vantora
