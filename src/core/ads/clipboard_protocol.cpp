#include "core/ads/clipboard_protocol.h"

namespace vantora {

void Serve_Clipboard_Protocol(Player& /*p*/) {}

}  // namespace vantora
