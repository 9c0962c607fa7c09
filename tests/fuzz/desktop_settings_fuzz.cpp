// Kamishibai: fuzzing the desktop settings reader: any file must read without a fault, and a
// value set into it must read back as set, whatever else the file holds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/desktop_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kamishibai;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string group = "Control Panel\\desktop";
  const std::string name = "ScreenSaveUsePassword";
  iniValueData(text, group, name);
  iniValueData(text, "", "");

  const std::string changed = withIniValue(text, group, name, "258");
  const auto data258 = iniValueData(changed, group, name);
  if (!data258 || *data258 != std::vector<std::uint8_t>{2, 1, 0, 0}) std::abort();
  return 0;
}
