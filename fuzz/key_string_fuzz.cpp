// Key strings come from the designer link's callers and, through the settings table, from the
// schedule: any text must either parse or raise the one error the link logs, and what parses
// must survive being written back in the notation.
#include "base/errors.h"
#include "core/designer/key_string.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  ports::KeySequence parsed;
  try {
    parsed = keys::parse_key_string(fuzz::text_of(data, size));
  } catch (const RuntimeError& error) {
    if (error.number() != err::kInvalidProcedureCall) {
      fuzz::fail("unexpected error", error.description());
    }
    return 0;
  }
  const QString written = keys::format_key_string(parsed.actions);
  ports::KeySequence again;
  try {
    again = keys::parse_key_string(written);
  } catch (const RuntimeError& error) {
    fuzz::fail("written back, it does not parse:", written);
  }
  if (again.actions != parsed.actions) {
    fuzz::fail("written back, it means something else:", written);
  }
  for (const ports::KeyAction& action : parsed.actions) {
    if (const auto* pause = std::get_if<ports::KeyPause>(&action)) {
      if (pause->duration_ms < 0 ||
          pause->duration_ms > keys::kMaxBraceCount * keys::kSleepUnitMs) {
        fuzz::fail("pause out of range");
      }
    }
  }
  return 0;
}
