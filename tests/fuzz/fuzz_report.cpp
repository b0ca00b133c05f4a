// The found-unit report from any information block: seven lines joined by CR, every code
// shown or replaced by its placeholder.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dialogs/search.h"
#include "link/RegisterMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return 0;
  const comm::UnitInfo info = comm::decodeUnitInfo({data, 6});
  const int port = 1 + data[6] % 39;
  const std::string report = unitReport(port, info);
  if (std::count(report.begin(), report.end(), '\r') != 6) std::abort();
  if (report.find('\n') != std::string::npos) std::abort();
  const std::string version = versionText(info.masterVersion);
  if (version.size() < 4 || version.size() > 4 || version[1] != '.') std::abort();
  return 0;
}
