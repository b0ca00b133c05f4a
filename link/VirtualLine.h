#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "platform/Clock.h"

namespace comm {

// What a device on the far end of a virtual line sends back, and how long after the request's
// last bit it starts.
struct VirtualAnswer {
  std::vector<std::uint8_t> bytes;
  platform::Micros delay = 0;
};

// The far end of a virtual line (in the tests, a simulated unit).
class VirtualDevice {
 public:
  virtual ~VirtualDevice() = default;
  // Whether bytes sent with the host's line settings reach the device intact. At another speed
  // or parity the device sees only framing errors and stays silent.
  virtual bool understands(const LineConfig& host) const = 0;
  // One request as written by the host, complete at time `now`.
  virtual std::optional<VirtualAnswer> receive(std::span<const std::uint8_t> request,
                                               platform::Micros now) = 0;
};

// In-process serial ports on a virtual clock. Bytes travel at the configured speed, a read
// advances the clock by exactly what the real port would have waited, and late bytes stay
// queued for the next read, as in a driver. Tests use it to run whole port scans in
// milliseconds and to look at every byte on the wire.
class VirtualSerialSystem final : public SerialSystem {
 public:
  // Failures an openPort step can meet on a port.
  struct PortFaults {
    bool held = false;          // open fails: another program has the port
    bool failGetState = false;  // GetCommState fails
    bool failSetState = false;  // SetCommState fails
    bool failTimeouts = false;  // SetCommTimeouts fails
  };

  enum class Direction { toDevice, toHost };
  struct WireEvent {
    platform::Micros time;  // when the first byte went on the wire
    int port;
    Direction direction;
    std::vector<std::uint8_t> bytes;
    bool heard;  // toDevice: whether the device understood the line settings
  };

  explicit VirtualSerialSystem(platform::VirtualClock& clock) : clock_(clock) {}
  ~VirtualSerialSystem() override;

  // A port that exists; with a device, the device hears it. The device must outlive the port.
  void addPort(int portNumber, VirtualDevice* device = nullptr);
  PortFaults& faults(int portNumber);
  // The device is unplugged: the open port's reads and writes fail at once from now on.
  void unplug(int portNumber);

  PortHandle open(const std::string& deviceName) override;

  // Observation for tests.
  const std::vector<WireEvent>& wireLog() const { return wireLog_; }
  void clearWireLog() { wireLog_.clear(); }
  const std::vector<std::string>& openedNames() const { return openedNames_; }
  bool isOpen(int portNumber) const;
  // Port handles alive now, over all ports: closed handles must not linger.
  int liveHandles() const { return liveHandles_; }
  LineConfig lineConfig(int portNumber) const;
  CommTimeouts timeouts(int portNumber) const;
  platform::VirtualClock& clock() { return clock_; }

  // Microseconds one character takes with these settings (start, data, parity, stop bits).
  static platform::Micros charTime(const LineConfig& config);

  struct Port;  // shared with the open handle

 private:
  friend class VirtualPort;
  platform::VirtualClock& clock_;
  std::map<int, std::shared_ptr<Port>> ports_;
  std::vector<WireEvent> wireLog_;
  std::vector<std::string> openedNames_;
  int liveHandles_ = 0;
};

}  // namespace comm
