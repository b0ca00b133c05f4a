#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "link/RegisterFrame.h"
#include "link/SerialPort.h"

namespace comm {

// Results of a transaction. They stay ints: callers that run several reads add them up and
// treat any non-zero sum as failure.
inline constexpr int kAccepted = 0;
inline constexpr int kNotAccepted = 1;        // silence, wrong length or wrong echoed byte
inline constexpr int kReadPortNotOpen = 99;   // registerRead, readEepromBlock, registerWrite
inline constexpr int kWritePortNotOpen = 92;  // commSettingsWrite, writeEepromCell

inline constexpr std::string_view kPortNotOpenMessage = "Port yet to open";

// What the dialog that sends a request shows when the request cannot go out. Only the two
// read kinds that a user starts by hand tell the user; the others just return their code.
class Notifier {
 public:
  virtual ~Notifier() = default;
  virtual void notify(std::string_view message) = 0;
};

// How one kind of answer is read and judged: the size asked of the port (always more than the
// unit sends, so every read lasts the whole time-out), the byte counts accepted, and the bytes
// tested.
struct AcceptanceRule {
  std::size_t readSize;
  std::size_t shortestAnswer;
  std::size_t longestAnswer;
  enum class Test {
    maintenanceEcho,  // byte 0 = 0xFF and byte 1 = the request's function
    functionEcho,     // byte 1 = the request's function, station not looked at
    noExceptionFlag,  // bit 7 of byte 1 clear, nothing else looked at
  } test;
};

AcceptanceRule acceptanceRule(const RegisterFrame& request);
bool accepts(const RegisterFrame& request, std::span<const std::uint8_t> answer);
int portNotOpenResult(FrameKind kind);

struct Exchange {
  int result = kNotAccepted;
  std::vector<std::uint8_t> answer;  // every byte the read returned, accepted or not
};

// One request and its answer on `port` (nullptr: no port open):
// discard stale input, write the 8 bytes, read once for the kind's read size, judge.
// No retry and no check of the answer's check bytes; the caller decodes an accepted answer.
Exchange transact(SerialPort* port, const RegisterFrame& request, std::uint16_t maintenanceKey,
                  Notifier* notifier);

}  // namespace comm
