#include "base/errors.h"

#include <utility>

namespace vantora {
namespace err {

QString description(std::int32_t number) {
  switch (number) {
    case kInvalidProcedureCall:
      return QStringLiteral("Invalid procedure call or argument");
    case kOverflow:
      return QStringLiteral("Overflow");
    case kOutOfMemory:
      return QStringLiteral("Out of memory");
    case kSubscriptOutOfRange:
      return QStringLiteral("Subscript out of range");
    case kTypeMismatch:
      return QStringLiteral("Type mismatch");
    case kInternalError:
      return QStringLiteral("Internal error");
    case kBadFileNameOrNumber:
      return QStringLiteral("Bad file name or number");
    case kFileNotFound:
      return QStringLiteral("File not found");
    case kPermissionDenied:
      return QStringLiteral("Permission denied");
    case kPathFileAccessError:
      return QStringLiteral("Path/File access error");
    case kPathNotFound:
      return QStringLiteral("Path not found");
    case kObjectVariableNotSet:
      return QStringLiteral("Object variable or With block variable not set");
    case kInvalidUseOfNull:
      return QStringLiteral("Invalid use of Null");
    case kWaitTimedOut:
      return QStringLiteral("Wait operation timed out");
    case kObjectDoesNotSupport:
      return QStringLiteral(
          "Class does not support Automation or does not support expected interface");
    case kInvalidPicture:
      return QStringLiteral("Invalid picture");
    case kCantOpenClipboard:
      return QStringLiteral("Can't open Clipboard");
    case kBofOrEof:
      return QStringLiteral(
          "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
          "requires a current record.");
    case kOperationNotAllowedClosed:
      return QStringLiteral("Operation is not allowed when the object is closed.");
    case kDatabaseError:
      return QStringLiteral("The connection cannot be used to perform this operation.");
    case kDatabaseLocked:
      return QStringLiteral("Could not update; currently locked.");
    default:
      break;
  }
  if (is_media_error(number)) {
    return QStringLiteral("The media file cannot be played.");
  }
  return QStringLiteral("Application-defined or object-defined error");
}

}  // namespace err

RuntimeError::RuntimeError(std::int32_t number) : RuntimeError(number, err::description(number)) {}

RuntimeError::RuntimeError(std::int32_t number, QString description)
    : number_(number),
      description_(std::move(description)),
      what_(std::to_string(number) + " " + description_.toStdString()) {}

}  // namespace vantora
