#include "link/SerialWin32.h"

#include <windows.h>

#include <string>

namespace comm {

namespace {

std::string lastErrorText(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(::GetLastError());
}

class Win32Port final : public SerialPort {
 public:
  explicit Win32Port(HANDLE handle) : handle_(handle) {}
  ~Win32Port() override { ::CloseHandle(handle_); }

  bool getLineConfig(LineConfig& config) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle_, &dcb)) return fail(lastErrorText("GetCommState"));
    dcb_ = dcb;
    haveDcb_ = true;
    config.baudRate = dcb.BaudRate;
    config.byteSize = dcb.ByteSize;
    config.parity = dcb.Parity;
    config.stopBits = dcb.StopBits;
    config.fBinary = dcb.fBinary;
    config.fParity = dcb.fParity;
    config.fOutxCtsFlow = dcb.fOutxCtsFlow;
    config.fOutxDsrFlow = dcb.fOutxDsrFlow;
    config.fDtrControl = static_cast<std::uint8_t>(dcb.fDtrControl);
    config.fDsrSensitivity = dcb.fDsrSensitivity;
    config.fTXContinueOnXoff = dcb.fTXContinueOnXoff;
    config.fOutX = dcb.fOutX;
    config.fInX = dcb.fInX;
    config.fErrorChar = dcb.fErrorChar;
    config.fNull = dcb.fNull;
    config.fRtsControl = static_cast<std::uint8_t>(dcb.fRtsControl);
    config.fAbortOnError = dcb.fAbortOnError;
    return true;
  }

  bool setLineConfig(const LineConfig& config) override {
    // Every field not named here keeps what the driver reported (XonLim, XoffLim, the special
    // characters, the reserved bits).
    if (!haveDcb_) {
      LineConfig ignored;
      if (!getLineConfig(ignored)) return false;
    }
    DCB dcb = dcb_;
    dcb.BaudRate = config.baudRate;
    dcb.ByteSize = config.byteSize;
    dcb.Parity = config.parity;
    dcb.StopBits = config.stopBits;
    dcb.fBinary = config.fBinary;
    dcb.fParity = config.fParity;
    dcb.fOutxCtsFlow = config.fOutxCtsFlow;
    dcb.fOutxDsrFlow = config.fOutxDsrFlow;
    dcb.fDtrControl = config.fDtrControl & 3u;
    dcb.fDsrSensitivity = config.fDsrSensitivity;
    dcb.fTXContinueOnXoff = config.fTXContinueOnXoff;
    dcb.fOutX = config.fOutX;
    dcb.fInX = config.fInX;
    dcb.fErrorChar = config.fErrorChar;
    dcb.fNull = config.fNull;
    dcb.fRtsControl = config.fRtsControl & 3u;
    dcb.fAbortOnError = config.fAbortOnError;
    if (!::SetCommState(handle_, &dcb)) return fail(lastErrorText("SetCommState"));
    dcb_ = dcb;
    return true;
  }

  bool setTimeouts(const CommTimeouts& timeouts) override {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = timeouts.readIntervalTimeout;
    t.ReadTotalTimeoutMultiplier = timeouts.readTotalTimeoutMultiplier;
    t.ReadTotalTimeoutConstant = timeouts.readTotalTimeoutConstant;
    t.WriteTotalTimeoutMultiplier = timeouts.writeTotalTimeoutMultiplier;
    t.WriteTotalTimeoutConstant = timeouts.writeTotalTimeoutConstant;
    if (!::SetCommTimeouts(handle_, &t)) return fail(lastErrorText("SetCommTimeouts"));
    return true;
  }

  std::size_t write(std::span<const std::uint8_t> bytes) override {
    DWORD written = 0;
    if (!::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
      fail(lastErrorText("WriteFile"));
    return written;
  }

  std::size_t read(std::span<std::uint8_t> buffer) override {
    DWORD got = 0;
    if (!::ReadFile(handle_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
      fail(lastErrorText("ReadFile"));
    return got;
  }

  void discardInput() override { ::PurgeComm(handle_, PURGE_RXCLEAR); }

 private:
  HANDLE handle_;
  DCB dcb_{};
  bool haveDcb_ = false;
};

}  // namespace

PortHandle Win32SerialSystem::open(const std::string& deviceName) {
  HANDLE handle = ::CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return fail(deviceName + ": " + lastErrorText("CreateFileA"));
  return std::make_unique<Win32Port>(handle);
}

}  // namespace comm
