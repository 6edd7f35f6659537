// Settings file: the profile reader, both reading phases, the version check
// and the exit writing on whatever bytes the file holds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/profile.h"
#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  app::Profile p(text);
  app::Settings s;
  app::ReadApplicationSettings(p, app::StartupInfo(), {{0, 0, 1024, 768}}, &s);
  app::ReadWindowSettings(p, "c:\\", {{0, 0, 1024, 768}}, &s);
  app::ReadBarsAtFirstPaint(p);
  app::MetricsSampleText(s.charNum, s.strupr);
  app::FontHeight(96, s.fontSize);
  // Writing back must give a file that reads the same values again.
  app::WriteSettingsAtExit(&p, s, {s.x, s.y, s.w, s.h}, {0, 0, 0, 0});
  app::Profile again(p.Serialize());
  if (again.Read("CONFIG", "W", "", 80) != std::to_string(s.w)) __builtin_trap();
  if (again.Read("FONT", "FACENAME", "", 80) != p.Read("FONT", "FACENAME", "", 80)) __builtin_trap();
  app::CheckSettingsVersion(&p);
  return 0;
}
