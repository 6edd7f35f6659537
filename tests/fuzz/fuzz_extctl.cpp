// External control messages: each input pair is (code selector, value byte).
#include <cstddef>
#include <cstdint>

#include "app/external_control.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::ExternalControl x;
  app::PowerNotice power;
  static const intptr_t kCodes[] = {100, 100, 100, 100, 100, 100, 101, 102, 104, 7};
  for (size_t i = 0; i + 1 < size; i += 2) {
    intptr_t code = kCodes[data[i] % 10];
    app::PlayState state = static_cast<app::PlayState>(data[i] / 10 % 3);
    bool full = (data[i] & 0x80) != 0;
    app::ExternalControl::Result r = x.Handle(code, data[i + 1], state, full);
    if (r.action == app::ExternalControl::Action::kAppendEntry &&
        (r.name.empty() || r.name.size() > app::ExternalControl::kMaxPath))
      __builtin_trap();
    power.OnEvent(data[i + 1] % 20, state);
  }
  return 0;
}
