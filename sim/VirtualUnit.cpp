#include "sim/VirtualUnit.h"

#include "link/OpenPort.h"

namespace sim {

bool VirtualUnit::understands(const comm::LineConfig& host) const {
  return host.baudRate == static_cast<std::uint32_t>(unit_.baud()) && host.byteSize == 8 &&
         host.parity == comm::platformParity(unit_.lineCodes().parityCode);
}

std::optional<comm::VirtualAnswer> VirtualUnit::receive(std::span<const std::uint8_t> request,
                                                        platform::Micros now) {
  std::optional<Answer> answer = unit_.handle(request, now);
  if (!answer) return std::nullopt;
  return comm::VirtualAnswer{std::move(answer->bytes), platform::millis(answer->delayMs)};
}

}  // namespace sim
