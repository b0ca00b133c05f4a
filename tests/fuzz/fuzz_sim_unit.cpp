// The simulated unit fed arbitrary request streams. Half of the frames get a correct check
// (plain or with the key), so the fuzzer reaches past the check into every request kind.

#include <cstdint>
#include <cstdlib>

#include "link/RegisterFrame.h"
#include "sim/Unit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::uint16_t kKey = 0x3A5C;
  sim::Unit unit(kKey);
  platform::Micros now = 0;
  // Each step: one byte of control (time step, check repair, fault), then 8 request bytes.
  for (std::size_t at = 0; at + 9 <= size; at += 9) {
    const std::uint8_t control = data[at];
    std::uint8_t frame[8];
    for (int i = 0; i < 8; ++i) frame[i] = data[at + 1 + i];
    if (control & 1) {
      const bool keyed = frame[0] == 0xFF && frame[1] == 0x06;
      const std::uint16_t check = comm::checkValue(frame, keyed, kKey);
      frame[6] = static_cast<std::uint8_t>(check & 0xFF);
      frame[7] = static_cast<std::uint8_t>(check >> 8);
    }
    if ((control & 0x0E) == 0x0E)
      unit.fault = {static_cast<sim::Fault>((control >> 4) % 9), 0, 1, 50};
    now += platform::millis(control >> 2);
    const auto answer = unit.handle({frame, 8}, now);
    if (answer && (answer->bytes.size() > 100 || answer->delayMs < 0)) std::abort();
  }
  return 0;
}
