#pragma once

#include "link/VirtualLine.h"
#include "sim/Unit.h"

namespace sim {

// A simulated unit on the far end of a virtual line: it hears only requests sent at its own
// speed and parity with 8 data bits, and its answers wait for its response delay.
class VirtualUnit final : public comm::VirtualDevice {
 public:
  explicit VirtualUnit(Unit& unit) : unit_(unit) {}

  bool understands(const comm::LineConfig& host) const override;
  std::optional<comm::VirtualAnswer> receive(std::span<const std::uint8_t> request,
                                             platform::Micros now) override;

 private:
  Unit& unit_;
};

}  // namespace sim
