// Command-line parser on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  app::CommandLine c = app::ParseCommandLine(line);
  if (!c.hasArguments && (c.closeOption || !c.paths.empty())) __builtin_trap();
  for (const std::string& p : c.paths) {
    if (p.empty() || p.size() > size + 16) __builtin_trap();
  }
  return 0;
}
