// link_probe.exe COMn BAUD PARITY STATION: runs openPort and one transaction of each read kind
// through the Win32 serial backend, and prints what came back. Under Wine against qtr77-sim it
// shows that the Win32 backend configures the port and reads with the time-outs it set.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/DeviceState.h"
#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "link/SerialWin32.h"
#include "link/Transaction.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: link_probe PORTNUMBER BAUD PARITYCODE STATION\n");
    return 2;
  }
  const int number = std::atoi(argv[1]);
  const int baud = std::atoi(argv[2]);
  const int parity = std::atoi(argv[3]);
  const auto station = static_cast<std::uint8_t>(std::atoi(argv[4]));

  comm::Win32SerialSystem system;
  DeviceState state;
  const int opened = comm::openPort(state.portHandle, system, number, baud, parity, 200);
  std::printf("openPort %d\n", opened);
  if (opened != 0) {
    std::printf("  %s\n", state.portHandle ? state.portHandle->lastError().c_str()
                                           : system.lastError().c_str());
    return 1;
  }
  int failures = 0;
  auto run = [&](const char* what, const comm::RegisterFrame& request) {
    const auto start = std::chrono::steady_clock::now();
    const comm::Exchange exchange =
        comm::transact(state.portHandle.get(), request, DeviceState::maintenanceKey, nullptr);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::printf("%-18s result %d, %zu bytes, %lld ms:", what, exchange.result,
                exchange.answer.size(), static_cast<long long>(ms));
    for (std::size_t i = 0; i < exchange.answer.size() && i < 12; ++i)
      std::printf(" %02X", exchange.answer[i]);
    std::printf("\n");
    failures += exchange.result;
  };
  run("unitInfoRead", comm::unitInfoRead());
  run("readEepromBlock", comm::readEepromBlock(0x1D00));
  run("registerRead", comm::registerRead(station, 0x0300, 10));
  run("registerWrite", comm::registerWrite(station, 0x0300, 500));
  run("writeEepromCell", comm::writeEepromCell(100, 1234));
  return failures == 0 ? 0 : 1;
}
