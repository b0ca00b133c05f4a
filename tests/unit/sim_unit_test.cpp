// The simulated unit: what it answers, what a request changes, and which requests it ignores.

#include <gtest/gtest.h>

#include <vector>

#include "link/RegisterFrame.h"
#include "sim/Unit.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint16_t kKey = 0x3A5C;

std::optional<sim::Answer> send(sim::Unit& unit, const comm::RegisterFrame& frame,
                                std::uint16_t key = kKey) {
  const comm::FrameBytes bytes = frame.encode(key);
  return unit.handle(bytes, 0);
}

TEST(SimUnit, InformationBlockReportsSettingsAndSpecification) {
  sim::Unit unit(kKey);
  unit.setStation(7);
  unit.setLineCodes({2, 2, 5});
  unit.firmwareVersion = 114;
  unit.setSpecReg(comm::g_SPC_VOL, 3);
  unit.setSpecReg(comm::g_SPC_FB, 4);
  const auto answer = send(unit, comm::unitInfoRead());
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->bytes.size(), 8u);
  EXPECT_EQ(Bytes(answer->bytes.begin(), answer->bytes.begin() + 6),
            (Bytes{0xFF, 0x03, 7, 0x5A, 114, 0x43}));
  EXPECT_EQ(answer->delayMs, 200);
}

TEST(SimUnit, CommunicationSettingsTakeEffectAfterTheAnswer) {
  sim::Unit unit(kKey);
  const auto answer = send(unit, comm::commSettingsWrite(5, comm::packLineByte({1, 1, 2})));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->bytes.size(), 8u);
  EXPECT_EQ(answer->delayMs, 10) << "answered with the old delay";
  EXPECT_EQ(unit.station(), 5);
  EXPECT_EQ(unit.lineCodes(), (comm::LineSettingCodes{1, 1, 2}));
  EXPECT_EQ(unit.baud(), 19200);
  EXPECT_EQ(unit.cell(sim::Unit::kStationCell), 5);
}

TEST(SimUnit, MaintenanceWritesWithoutTheKeyAreIgnored) {
  sim::Unit unit(kKey);
  EXPECT_FALSE(send(unit, comm::writeEepromCell(100, 42), 0));
  EXPECT_FALSE(send(unit, comm::commSettingsWrite(9, 0x01), kKey + 1));
  EXPECT_EQ(unit.cell(100), 0);
  EXPECT_EQ(unit.station(), 1);
  EXPECT_EQ(unit.framesRejectedCheck, 2);
  // Reads carry the plain check; the key must not be in them.
  comm::FrameBytes keyedRead = comm::unitInfoRead().encode(kKey);
  keyedRead[6] = static_cast<std::uint8_t>(keyedRead[6] + 1);
  EXPECT_FALSE(unit.handle(keyedRead, 0));
}

TEST(SimUnit, EepromBlocksAndCellsMirrorTheRegisters) {
  sim::Unit unit(kKey);
  ASSERT_TRUE(send(unit, comm::writeEepromCell(55, static_cast<std::uint16_t>(-12))));
  EXPECT_EQ(unit.controlReg(comm::COM_TR1), -12);
  ASSERT_TRUE(send(unit, comm::registerWrite(1, 0x0301, 345)));
  const auto block = send(unit, comm::readEepromBlock(0x1E00));
  ASSERT_TRUE(block);
  ASSERT_EQ(block->bytes.size(), 79u);
  // Cell 56 is k = 18 of the second block.
  EXPECT_EQ((block->bytes[3 + 36] << 8) | block->bytes[4 + 36], 345);
  EXPECT_EQ(block->bytes[1], 0x03);
}

TEST(SimUnit, RegisterReadsAndTheScaleOption) {
  sim::Unit unit(kKey);
  const auto control = send(unit, comm::registerRead(1, 0x0300, 10));
  ASSERT_TRUE(control);
  EXPECT_EQ(control->bytes.size(), 25u);
  EXPECT_EQ(control->bytes[3], 0xFF) << "COM_TR1 ships as -1";
  // 0x0314 reads on every unit, but takes a write only with scale option 3.
  const auto read = send(unit, comm::registerRead(1, 0x0314, 1));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->bytes.size(), 7u);
  EXPECT_EQ(read->bytes[4], 30);
  const auto refused = send(unit, comm::registerWrite(1, 0x0314, 40));
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->bytes.size(), 5u);
  EXPECT_EQ(refused->bytes[1], 0x86);
  unit.setSpecReg(comm::g_SPC_COM, 3);
  ASSERT_TRUE(send(unit, comm::registerWrite(1, 0x0314, 40)));
  EXPECT_EQ(unit.controlReg(comm::COM_SCALELO), 40);
  // Registers outside the map are refused.
  const auto outside = send(unit, comm::registerRead(1, 0x0315, 1));
  ASSERT_TRUE(outside);
  EXPECT_EQ(outside->bytes[1], 0x83);
  // Another station's requests get no answer.
  EXPECT_FALSE(send(unit, comm::registerRead(2, 0x0300, 1)));
}

TEST(SimUnit, AChangeOfControlMethodResetsTheUnitAfterItsAnswer) {
  sim::Unit unit(kKey);
  unit.resetMs = 1000;
  auto at = [&unit](const comm::RegisterFrame& frame, int ms) {
    const comm::FrameBytes bytes = frame.encode(kKey);
    return unit.handle(bytes, platform::millis(ms)).has_value();
  };
  EXPECT_TRUE(at(comm::registerWrite(1, 0x030F, 0), 0)) << "the same method: no reset";
  EXPECT_TRUE(at(comm::unitInfoRead(), 100));
  EXPECT_TRUE(at(comm::registerWrite(1, 0x030F, 2), 200)) << "answered before the reset";
  EXPECT_FALSE(at(comm::unitInfoRead(), 700));
  EXPECT_FALSE(at(comm::registerRead(1, 0x0300, 1), 1200));
  EXPECT_TRUE(at(comm::unitInfoRead(), 1300));
  EXPECT_EQ(unit.resets, 1);
  EXPECT_EQ(unit.framesMissedInReset, 2);
  EXPECT_EQ(unit.specReg(comm::g_SPC_FB), 2) << "the unit runs the new method";
}

TEST(SimUnit, FaultSwitchesShapeTheAnswer) {
  struct Case {
    sim::Fault fault;
    std::size_t size;
    std::uint8_t byte0, byte1;
  };
  for (const Case& c :
       {Case{sim::Fault::shortByOne, 7, 0xFF, 0x03}, Case{sim::Fault::longByOne, 9, 0xFF, 0x03},
        Case{sim::Fault::wrongFunction, 8, 0xFF, 0x04},
        Case{sim::Fault::wrongStation, 8, 0x00, 0x03},
        Case{sim::Fault::exception, 5, 0xFF, 0x83}}) {
    sim::Unit unit(kKey);
    unit.fault = {c.fault, 1, 1, 0};
    ASSERT_EQ(send(unit, comm::unitInfoRead())->bytes.size(), 8u) << "skipped";
    const auto answer = send(unit, comm::unitInfoRead());
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->bytes.size(), c.size);
    EXPECT_EQ(answer->bytes[0], c.byte0);
    EXPECT_EQ(answer->bytes[1], c.byte1);
    EXPECT_EQ(send(unit, comm::unitInfoRead())->bytes.size(), 8u) << "count used up";
  }
  sim::Unit silent(kKey);
  silent.fault.kind = sim::Fault::silent;
  EXPECT_FALSE(send(silent, comm::unitInfoRead()));
}

}  // namespace
