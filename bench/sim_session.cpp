// sim_session PORTS_FOLDER COUNT: a real-time session against qtr77-sim on ports/COM1: COUNT
// transactions of every kind, as the program would send them. Prints how many were answered.

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "link/OpenPort.h"
#include "link/RegisterMap.h"
#include "link/SerialPosix.h"
#include "link/Transaction.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: sim_session PORTS_FOLDER COUNT\n");
    return 2;
  }
  comm::PosixSerialSystem system(argv[1]);
  comm::PortHandle port;
  if (comm::openPort(port, system, 1, 9600, 0, 150) != 0) {
    std::fprintf(stderr, "sim_session: %s\n", system.lastError().c_str());
    return 1;
  }
  const comm::RegisterFrame requests[] = {comm::unitInfoRead(),
                                          comm::readEepromBlock(0x1D00),
                                          comm::readEepromBlock(0x1E00),
                                          comm::readEepromBlock(0x1F00),
                                          comm::registerRead(1, 0x0300, 10),
                                          comm::registerRead(1, 0x030A, 10),
                                          comm::registerRead(1, 0x0044, 9),
                                          comm::registerRead(1, 0x0314, 1),
                                          comm::registerWrite(1, 0x0300, 500),
                                          comm::writeEepromCell(100, 1234),
                                          comm::commSettingsWrite(1, 0x00)};
  const int count = std::atoi(argv[2]);
  int answered = 0;
  for (int i = 0; i < count; ++i) {
    const comm::RegisterFrame& request =
        requests[static_cast<std::size_t>(i) % std::size(requests)];
    if (comm::transact(port.get(), request, QTR77_MAINTENANCE_KEY, nullptr).result == 0) ++answered;
  }
  std::printf("sim session: %d transactions, %d answered\n", count, answered);
  return 0;
}
