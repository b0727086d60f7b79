// channel.ini is edited by hand on the channel's PC: whatever it holds, reading it gives a data
// folder (perhaps empty) and lower-case platform keys, and never fails.
#include "core/shell/channel_ini.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantora;
  const QString text = fuzz::text_of(data, size);
  const ChannelSettings settings = parse_channel_ini(text);
  if (settings.data_folder != first_delimited_item(text)) {
    fuzz::fail("the data folder is not the first item");
  }
  for (auto it = settings.platform.cbegin(); it != settings.platform.cend(); ++it) {
    if (it.key() != it.key().toLower()) {
      fuzz::fail("a platform key keeps its capitals:", it.key());
    }
  }
  return 0;
}
