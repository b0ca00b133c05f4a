// Request frames and value codes against the protocol's own examples.

#include <gtest/gtest.h>

#include <vector>

#include "link/DeviceName.h"
#include "link/RegisterFrame.h"
#include "link/RegisterMap.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes wire(const comm::RegisterFrame& frame, std::uint16_t key = 0x3A5C) {
  const comm::FrameBytes b = frame.encode(key);
  return {b.begin(), b.end()};
}

TEST(RegisterFrame, PlainRequestsMatchTheWireExamples) {
  struct Case {
    const char* what;
    comm::RegisterFrame frame;
    Bytes bytes;
  };
  const std::vector<Case> cases{
      {"unit information", comm::unitInfoRead(), {0xFF, 0x03, 0x1C, 0x00, 0x00, 0x00, 0x57, 0x84}},
      {"EEPROM block 1",
       comm::readEepromBlock(0x1D00),
       {0xFF, 0x03, 0x1D, 0x00, 0x00, 0x00, 0x56, 0x78}},
      {"EEPROM block 2",
       comm::readEepromBlock(0x1E00),
       {0xFF, 0x03, 0x1E, 0x00, 0x00, 0x00, 0x56, 0x3C}},
      {"EEPROM block 3",
       comm::readEepromBlock(0x1F00),
       {0xFF, 0x03, 0x1F, 0x00, 0x00, 0x00, 0x57, 0xC0}},
      {"10 registers from 0x0300",
       comm::registerRead(1, 0x0300, 10),
       {0x01, 0x03, 0x03, 0x00, 0x00, 0x0A, 0xC5, 0x89}},
      {"500 to 0x0300",
       comm::registerWrite(1, 0x0300, 500),
       {0x01, 0x06, 0x03, 0x00, 0x01, 0xF4, 0x89, 0x99}},
  };
  for (const Case& c : cases) {
    // Only maintenance writes carry the key, so any key gives the same plain frames.
    EXPECT_EQ(wire(c.frame, 0x3A5C), c.bytes) << c.what;
    EXPECT_EQ(wire(c.frame, 0xFFFF), c.bytes) << c.what;
  }
}

TEST(RegisterFrame, MaintenanceWritesAddTheKeyAsSixteenBitValue) {
  // Plain CRC of FF 06 1C 05 25 00 is 0x1591: + 0x00F0 carries out of the low byte into the
  // high byte (0x1681), it is not two separate byte additions (which would give 0x1581).
  EXPECT_EQ(wire(comm::commSettingsWrite(5, 0x25), 0x00F0),
            (Bytes{0xFF, 0x06, 0x1C, 0x05, 0x25, 0x00, 0x81, 0x16}));
  // Plain CRC of FF 06 1D 26 12 34 is 0xC476: the sum wraps modulo 65536.
  EXPECT_EQ(wire(comm::writeEepromCell(38, 0x1234), 0x3C00),
            (Bytes{0xFF, 0x06, 0x1D, 0x26, 0x12, 0x34, 0x76, 0x00}));
  // Key 0 leaves the plain check.
  EXPECT_EQ(wire(comm::commSettingsWrite(5, 0x25), 0),
            (Bytes{0xFF, 0x06, 0x1C, 0x05, 0x25, 0x00, 0x91, 0x15}));
}

TEST(RegisterFrame, FieldsOfTheMaintenanceWrites) {
  // Address 5, 19200 bit/s, even parity, 40 ms: line byte 0x25 in the high byte of the value.
  const Bytes comm = wire(comm::commSettingsWrite(5, comm::packLineByte({1, 1, 2})));
  EXPECT_EQ(Bytes(comm.begin(), comm.begin() + 6), (Bytes{0xFF, 0x06, 0x1C, 0x05, 0x25, 0x00}));
  // Cell 38, the first of the second block, is register 0x1D26, not 0x1E00; cell 255 is 0x1DFF.
  EXPECT_EQ(comm::writeEepromCell(38, 0).fieldA, 0x1D26);
  EXPECT_EQ(comm::writeEepromCell(255, 0).fieldA, 0x1DFF);
  // Negative register values go out as their two's-complement pattern.
  const Bytes minusOne = wire(comm::registerWrite(7, 0x0305, -1));
  EXPECT_EQ(minusOne[4], 0xFF);
  EXPECT_EQ(minusOne[5], 0xFF);
  EXPECT_TRUE(comm::writeEepromCell(0, 0).isMaintenanceWrite());
  EXPECT_FALSE(comm::readEepromBlock(0x1D00).isMaintenanceWrite());
  EXPECT_FALSE(comm::registerWrite(0xFF & 7, 0x0300, 1).isMaintenanceWrite());
}

TEST(LineByte, PacksAndUnpacksTheThreeCodes) {
  EXPECT_EQ(comm::unpackLineByte(0x5A), (comm::LineSettingCodes{2, 2, 5}));
  EXPECT_EQ(comm::packLineByte({2, 2, 5}), 0x5A);
  EXPECT_EQ(comm::unpackLineByte(0xFF), (comm::LineSettingCodes{3, 3, 15}));
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(comm::packLineByte(comm::unpackLineByte(static_cast<std::uint8_t>(b))), b);
}

TEST(UnitInfo, DecodesTheInformationBlock) {
  const Bytes answer{0xFF, 0x03, 0x07, 0x5A, 114, 0x43, 0x00, 0x00};
  const comm::UnitInfo info = comm::decodeUnitInfo(answer);
  EXPECT_EQ(info.station, 7);
  EXPECT_EQ(info.line, (comm::LineSettingCodes{2, 2, 5}));
  EXPECT_EQ(info.masterVersion, 114);
  EXPECT_EQ(info.supplyVoltageCode, 3);
  EXPECT_EQ(info.controlMethodCode, 4);
}

TEST(Registers, AreSignedSixteenBitHighByteFirst) {
  const Bytes answer{0x01, 0x03, 0x06, 0xFF, 0xFF, 0x80, 0x00, 0x01, 0xF4, 0xAA, 0xBB};
  EXPECT_EQ(comm::decodeRegisters(answer, 3), (std::vector<std::int16_t>{-1, -32768, 500}));
  // An answer shorter than asked yields only the values it holds.
  EXPECT_EQ(comm::decodeRegisters(Bytes{1, 3, 2, 0x12}, 1).size(), 0u);
}

TEST(ValueCodes, TablesAndTheirEdges) {
  EXPECT_EQ(comm::speedBps(0), 9600);
  EXPECT_EQ(comm::speedBps(2), 57600);
  EXPECT_EQ(comm::speedBps(3), std::nullopt);
  EXPECT_EQ(comm::parityName(1), "EVEN");
  EXPECT_EQ(comm::parityName(-1), std::nullopt);
  EXPECT_EQ(comm::delayMs(5), 200);
  EXPECT_EQ(comm::delayMs(6), std::nullopt);
  EXPECT_EQ(comm::supplyVolts(3), 380);
  EXPECT_EQ(comm::supplyVolts(6), std::nullopt);
  EXPECT_EQ(comm::currentAmps(9), 600);
  EXPECT_EQ(comm::currentAmps(10), std::nullopt);
  EXPECT_EQ(comm::controlMethodShortName(4), "FBなし");
  EXPECT_EQ(comm::controlMethodName(4), "フィードバックなし");
  EXPECT_EQ(comm::controlMethodName(5), std::nullopt);
  EXPECT_EQ(comm::outputLimitName(3), "起動時＋電流制限");
  EXPECT_EQ(comm::presenceName(1), "あり");
  EXPECT_EQ(comm::presenceName(2), std::nullopt);
  EXPECT_EQ(comm::autoPowerName(1), "4-20mA");
  EXPECT_EQ(comm::autoPowerName(3), std::nullopt);
}

TEST(EepromBlocks, CellNumbersRunOnAcrossBlocks) {
  EXPECT_EQ(comm::kEepromBlocks[0].firstCell, 0u);
  EXPECT_EQ(comm::kEepromBlocks[1].firstCell, 38u);
  EXPECT_EQ(comm::kEepromBlocks[2].firstCell, 76u);
  EXPECT_EQ(comm::kEepromBlocks[2].firstCell + comm::kCellsPerBlock, comm::kEepromCellCount);
  EXPECT_EQ(comm::kEepromBlocks[2].readRegister, 0x1F00);
}

TEST(DeviceName, WindowsFormsOfPortNumbers) {
  EXPECT_EQ(comm::deviceName(1), "COM1");
  EXPECT_EQ(comm::deviceName(9), "COM9");
  EXPECT_EQ(comm::deviceName(10), "\\\\.\\COM10");
  EXPECT_EQ(comm::deviceName(39), "\\\\.\\COM39");
  for (int n = 1; n <= 39; ++n) EXPECT_EQ(comm::parseDeviceName(comm::deviceName(n)), n);
  for (const char* bad : {"COM10", "COM", "COM0", "COM01", "com3", "\\\\.\\COMx", "/dev/ttyS0", ""})
    EXPECT_EQ(comm::parseDeviceName(bad), std::nullopt) << bad;
}

}  // namespace
