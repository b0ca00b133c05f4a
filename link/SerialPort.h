#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace comm {

// DCB parity values. The program carries parity as the unit's code (0 none, 1 even, 2 odd);
// only openPort translates, because the platform numbers even and odd the other way round.
inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;

inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kTwoStopBits = 2;

inline constexpr std::uint8_t kDtrControlDisable = 0;
inline constexpr std::uint8_t kDtrControlEnable = 1;
inline constexpr std::uint8_t kRtsControlDisable = 0;
inline constexpr std::uint8_t kRtsControlEnable = 1;

// The fields of the device control block that openPort sets, in the DCB's own names and coding.
// A backend reads the driver's block, fills this from it, and on write overlays these fields on
// the block it read, so every field not listed here keeps the driver's value.
struct LineConfig {
  std::uint32_t baudRate = 9600;
  std::uint8_t byteSize = 8;
  std::uint8_t parity = kNoParity;
  std::uint8_t stopBits = kOneStopBit;
  bool fBinary = true;
  bool fParity = false;
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;
  std::uint8_t fDtrControl = kDtrControlEnable;
  bool fDsrSensitivity = false;
  bool fTXContinueOnXoff = false;
  bool fOutX = false;
  bool fInX = false;
  bool fErrorChar = false;
  bool fNull = false;
  std::uint8_t fRtsControl = kRtsControlEnable;
  bool fAbortOnError = false;

  bool operator==(const LineConfig&) const = default;
};

// COMMTIMEOUTS, in milliseconds.
struct CommTimeouts {
  std::uint32_t readIntervalTimeout = 0;
  std::uint32_t readTotalTimeoutMultiplier = 0;
  std::uint32_t readTotalTimeoutConstant = 0;
  std::uint32_t writeTotalTimeoutMultiplier = 0;
  std::uint32_t writeTotalTimeoutConstant = 0;

  bool operator==(const CommTimeouts&) const = default;
};

// One open serial device. Destroying it closes the device.
//
// read() follows the total time-out model the program configures: it returns when the buffer
// is full or when readTotalTimeoutConstant (+ multiplier x size) ms have passed since it began,
// whichever comes first; a gap between bytes does not end it.
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  virtual bool getLineConfig(LineConfig& config) = 0;
  virtual bool setLineConfig(const LineConfig& config) = 0;
  virtual bool setTimeouts(const CommTimeouts& timeouts) = 0;
  // Both return the number of bytes moved; the transactions look only at the count read.
  virtual std::size_t write(std::span<const std::uint8_t> bytes) = 0;
  virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
  // Drops whatever has arrived and not been read yet.
  virtual void discardInput() = 0;

  // Why the last failed operation failed, for diagnostics and tests; never shown to the user.
  const std::string& lastError() const { return lastError_; }

 protected:
  SerialPort() = default;
  bool fail(std::string why) {
    lastError_ = std::move(why);
    return false;
  }

 private:
  std::string lastError_;
};

// The owning handle that DeviceState keeps; empty means that no port is open.
using PortHandle = std::unique_ptr<SerialPort>;

// Opens serial devices by their Windows names ("COM3", "\\.\COM12").
class SerialSystem {
 public:
  virtual ~SerialSystem() = default;
  // Exclusive open for reading and writing; an empty handle when the device is absent or held.
  virtual PortHandle open(const std::string& deviceName) = 0;
  const std::string& lastError() const { return lastError_; }

 protected:
  PortHandle fail(std::string why) {
    lastError_ = std::move(why);
    return nullptr;
  }

 private:
  std::string lastError_;
};

}  // namespace comm
