#pragma once

#include <memory>

#include "base/errors.h"

namespace vantora {

// Calls through an object reference the classic way: one that is Nothing is error 91.
template <typename T>
T& object(const std::shared_ptr<T>& reference) {
  if (!reference) {
    throw RuntimeError(err::kObjectVariableNotSet);
  }
  return *reference;
}

}  // namespace vantora
