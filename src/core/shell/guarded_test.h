#pragma once

#include <utility>

#include "core/shell/procedure.h"

namespace vantora {

// Runs a test through the procedure's guard. A test that cannot be made counts as passed: the
// tests this serves guard the step that ends a scan or a step, so a broken recordset ends the
// scan (after its error is logged) instead of looping over it.
template <typename Test>
bool test_or_true(Procedure& proc, Test&& test) {
  bool result = true;
  proc([&] { result = std::forward<Test>(test)(); });
  return result;
}

}  // namespace vantora
