// The simulator's input script is written by hand: a wrong one is refused with the line and the
// reason, a right one lists its events in time order from the start on.
#include "base/date_time.h"
#include "fuzz_support.h"
#include "sim/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  const DateTime start = date_time::from_parts(2026, 12, 6, 10, 0, 0);
  QString error;
  const std::optional<sim::InputScript> script =
      sim::InputScript::parse(fuzz::text_of(data, size), start, &error);
  if (!script) {
    if (!error.startsWith(QStringLiteral("line "))) {
      fuzz::fail("a refusal that names no line:", error);
    }
    return 0;
  }
  std::int64_t last_ms = date_time::to_linear_ms(start);
  for (const sim::ScriptedInput& input : script->events()) {
    const std::int64_t when_ms = date_time::to_linear_ms(input.when);
    if (when_ms < last_ms) {
      fuzz::fail("events out of time order");
    }
    last_ms = when_ms;
  }
  return 0;
}
