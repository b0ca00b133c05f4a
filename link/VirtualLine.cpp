#include "link/VirtualLine.h"

#include <algorithm>

#include "link/DeviceName.h"

namespace comm {

using platform::Micros;

struct VirtualSerialSystem::Port {
  int number = 0;
  VirtualDevice* device = nullptr;
  PortFaults faults;
  bool open = false;
  bool unplugged = false;
  LineConfig config;  // what the "driver" holds; survives closing, as a UART's registers do
  CommTimeouts timeouts;
  struct Arrival {
    Micros time;
    std::uint8_t byte;
  };
  std::deque<Arrival> input;  // bytes on their way to the host, in arrival order
  Micros lineFreeAt = 0;      // when the device's previous answer has left the wire
};

namespace {

// A COM port that a simulated driver reports before anybody configured it.
LineConfig driverDefaults() {
  LineConfig config;
  config.baudRate = 9600;
  config.fDtrControl = kDtrControlEnable;
  config.fRtsControl = kRtsControlEnable;
  return config;
}

}  // namespace

class VirtualPort final : public SerialPort {
 public:
  VirtualPort(VirtualSerialSystem& system, std::shared_ptr<VirtualSerialSystem::Port> port)
      : system_(system), port_(std::move(port)) {
    port_->open = true;
    ++system_.liveHandles_;
  }
  ~VirtualPort() override {
    port_->open = false;
    --system_.liveHandles_;
  }

  bool getLineConfig(LineConfig& config) override {
    if (port_->unplugged) return fail("device removed");
    if (port_->faults.failGetState) return fail("GetCommState refused (injected)");
    config = port_->config;
    return true;
  }

  bool setLineConfig(const LineConfig& config) override {
    if (port_->unplugged) return fail("device removed");
    if (port_->faults.failSetState) return fail("SetCommState refused (injected)");
    port_->config = config;
    return true;
  }

  bool setTimeouts(const CommTimeouts& timeouts) override {
    if (port_->unplugged) return fail("device removed");
    if (port_->faults.failTimeouts) return fail("SetCommTimeouts refused (injected)");
    port_->timeouts = timeouts;
    return true;
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    if (port_->unplugged) {
      fail("device removed");
      return 0;
    }
    // The driver takes the bytes at once; they reach the device one character time apart.
    const Micros now = system_.clock_.now();
    const Micros charTime = VirtualSerialSystem::charTime(port_->config);
    const Micros requestEnd = now + charTime * static_cast<Micros>(bytes.size());
    VirtualDevice* device = port_->device;
    const bool heard = device != nullptr && device->understands(port_->config);
    system_.wireLog_.push_back({now,
                                port_->number,
                                VirtualSerialSystem::Direction::toDevice,
                                {bytes.begin(), bytes.end()},
                                heard});
    if (!heard) return bytes.size();

    std::optional<VirtualAnswer> answer = device->receive(bytes, requestEnd);
    if (!answer || answer->bytes.empty()) return bytes.size();
    Micros at = std::max(requestEnd + answer->delay, port_->lineFreeAt);
    system_.wireLog_.push_back(
        {at, port_->number, VirtualSerialSystem::Direction::toHost, answer->bytes, true});
    for (std::uint8_t byte : answer->bytes) {
      at += charTime;
      port_->input.push_back({at, byte});
    }
    port_->lineFreeAt = at;
    return bytes.size();
  }

  std::size_t read(std::span<std::uint8_t> buffer) override {
    if (port_->unplugged) {
      fail("device removed");
      return 0;
    }
    const Micros start = system_.clock_.now();
    const CommTimeouts& t = port_->timeouts;
    const Micros total = platform::millis(t.readTotalTimeoutConstant) +
                         platform::millis(static_cast<std::int64_t>(t.readTotalTimeoutMultiplier) *
                                          static_cast<std::int64_t>(buffer.size()));
    const Micros deadline = start + total;
    std::size_t count = 0;
    while (count < buffer.size() && !port_->input.empty() &&
           port_->input.front().time <= deadline) {
      buffer[count++] = port_->input.front().byte;
      if (count == buffer.size()) system_.clock_.advanceTo(port_->input.front().time);
      port_->input.pop_front();
    }
    if (count < buffer.size()) system_.clock_.advanceTo(deadline);
    return count;
  }

  void discardInput() override {
    const Micros now = system_.clock_.now();
    auto& input = port_->input;
    while (!input.empty() && input.front().time <= now) input.pop_front();
  }

 private:
  VirtualSerialSystem& system_;
  std::shared_ptr<VirtualSerialSystem::Port> port_;
};

VirtualSerialSystem::~VirtualSerialSystem() = default;

void VirtualSerialSystem::addPort(int portNumber, VirtualDevice* device) {
  auto port = std::make_shared<Port>();
  port->number = portNumber;
  port->device = device;
  port->config = driverDefaults();
  ports_[portNumber] = std::move(port);
}

VirtualSerialSystem::PortFaults& VirtualSerialSystem::faults(int portNumber) {
  return ports_.at(portNumber)->faults;
}

void VirtualSerialSystem::unplug(int portNumber) {
  ports_.at(portNumber)->unplugged = true;
}

PortHandle VirtualSerialSystem::open(const std::string& deviceName) {
  openedNames_.push_back(deviceName);
  const std::optional<int> number = parseDeviceName(deviceName);
  if (!number) return fail("not a serial device name: " + deviceName);
  auto it = ports_.find(*number);
  if (it == ports_.end() || it->second->unplugged) return fail(deviceName + ": no such port");
  Port& port = *it->second;
  if (port.open || port.faults.held) return fail(deviceName + ": in use");
  return std::make_unique<VirtualPort>(*this, it->second);
}

bool VirtualSerialSystem::isOpen(int portNumber) const {
  auto it = ports_.find(portNumber);
  return it != ports_.end() && it->second->open;
}

LineConfig VirtualSerialSystem::lineConfig(int portNumber) const {
  return ports_.at(portNumber)->config;
}

CommTimeouts VirtualSerialSystem::timeouts(int portNumber) const {
  return ports_.at(portNumber)->timeouts;
}

Micros VirtualSerialSystem::charTime(const LineConfig& config) {
  const Micros bits = 1 + config.byteSize + (config.parity != kNoParity ? 1 : 0) +
                      (config.stopBits == kTwoStopBits ? 2 : 1);
  const Micros baud = config.baudRate > 0 ? config.baudRate : 9600;
  return (bits * 1'000'000 + baud - 1) / baud;
}

}  // namespace comm
