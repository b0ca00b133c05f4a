// The fault matrix: every dialog operation that talks to the unit, against every way the line
// or the unit can fail. Each row gives the result code, the messages shown and what DeviceState
// holds afterwards; rows where the rules accept a faulty answer say so and show it.

#include <gtest/gtest.h>

#include <cstdio>

#include "dialogs/eeprom.h"
#include "dialogs/search.h"
#include "dialogs/set1.h"
#include "dialogs/set2.h"
#include "link/OpenPort.h"
#include "tests/support/Rig.h"

namespace {

using testing_support::Rig;
using ui::headless::HeadlessWindow;
using ui::headless::Script;
using Strings = std::vector<std::string>;

enum class Row {
  silence,
  late,  // the answer comes after the read has ended
  shortByOne,
  longByOne,
  wrongFunction,
  wrongStation,
  exception,
  badCheck,
  resetting,  // the unit restarts after a change of control method
  vanished,   // the device goes away while the program reads
  held,       // another program holds the port
  noPort,     // no port open at all
};

const char* name(Row row) {
  static const char* names[] = {"silence",   "late",     "short",     "long",
                                "function",  "station",  "exception", "check",
                                "resetting", "vanished", "held",      "no port"};
  return names[static_cast<int>(row)];
}

// A device that unplugs its port when a request reaches it, so the program's read meets a
// port that has gone away.
class Vanishing final : public comm::VirtualDevice {
 public:
  Vanishing(comm::VirtualDevice& inner, comm::VirtualSerialSystem& system)
      : inner_(inner), system_(system) {}
  bool armed = false;
  bool understands(const comm::LineConfig& host) const override { return inner_.understands(host); }
  std::optional<comm::VirtualAnswer> receive(std::span<const std::uint8_t> request,
                                             platform::Micros now) override {
    if (!armed) return inner_.receive(request, now);
    system_.unplug(3);
    return std::nullopt;
  }

 private:
  comm::VirtualDevice& inner_;
  comm::VirtualSerialSystem& system_;
};

// The unit on COM3 at 9600 bit/s, station 1, found by a search.
struct Line : Rig {
  Vanishing vanishing{unitOnLine, serial};
  Line() {
    serial.addPort(3, &vanishing);
    found(3);
  }
  // Makes the next answers (after `skip` good ones) suffer `row`.
  void arm(Row row, int skip) {
    static const sim::Fault faults[] = {sim::Fault::silent,        sim::Fault::late,
                                        sim::Fault::shortByOne,    sim::Fault::longByOne,
                                        sim::Fault::wrongFunction, sim::Fault::wrongStation,
                                        sim::Fault::exception,     sim::Fault::badCheck};
    const int i = static_cast<int>(row);
    if (i < 8) {
      unit.fault = {faults[i], skip, 1, 1000};
    } else if (row == Row::resetting) {
      const comm::FrameBytes change = comm::registerWrite(1, 0x030F, 3).encode(0);
      ASSERT_TRUE(unit.handle(change, clock.now()));
      ASSERT_TRUE(unit.resetting(clock.now() + platform::millis(1000)));
    } else if (row == Row::vanished) {
      vanishing.armed = true;
    } else if (row == Row::held) {
      state.portHandle.reset();
      serial.faults(3).held = true;
    } else if (row == Row::noPort) {
      state.portHandle.reset();
    }
  }
};

struct Expected {
  Row row;
  int result;
  Strings boxes;
};

// Runs `Dialog`, opening it with `openingBoxes` answered, then arms the row and runs `op`,
// answering the boxes the row expects. Returns the op's result and the boxes it showed.
template <typename Dialog>
std::pair<int, Strings> play(Line& line, Row row, int skip, int openingBoxes, std::size_t boxes,
                             const std::function<int(Dialog&, HeadlessWindow&)>& op) {
  Dialog* dialog = nullptr;
  int result = -99;
  std::size_t before = 0;
  Script script;
  for (int i = 0; i < openingBoxes; ++i) script.ok();
  script.inspect([&](HeadlessWindow& window) {
    before = line.boxes().size();
    line.arm(row, skip);
    result = op(*dialog, window);
  });
  for (std::size_t i = 0; i < boxes; ++i) script.ok();
  line.run<Dialog>(std::move(script.escape()), [&](Dialog& d) { dialog = &d; });
  EXPECT_TRUE(line.ui->problems().empty()) << name(row);
  const Strings all = line.boxes();
  return {result, Strings(all.begin() + static_cast<long>(before), all.end())};
}

// Prints how many rows of a table ran, for the figures of scripts/bench.
void report(const char* operation, std::size_t rows) {
  std::printf("fault matrix: %s, %zu rows%s\n", operation, rows,
              ::testing::Test::HasFailure() ? ", FAILED" : " passed");
}

const Strings kNone;
const Strings kPortYetToOpen{"Port yet to open"};

TEST(FaultMatrix, IdentifyUnit) {
  const std::vector<Expected> rows{
      {Row::silence, 1, kNone},       {Row::late, 1, kNone},         {Row::shortByOne, 1, kNone},
      {Row::longByOne, 0, kNone},                                     // 9 bytes are accepted
      {Row::wrongFunction, 1, kNone}, {Row::wrongStation, 1, kNone},  // byte 0 must be 0xFF
      {Row::exception, 1, kNone},     {Row::badCheck, 0, kNone},      // check bytes not compared
      {Row::resetting, 1, kNone},     {Row::vanished, 1, kNone},     {Row::held, -1, kNone},
  };
  for (const Expected& e : rows) {
    Line line;
    line.state.unitAddress = 0;
    const auto [result, boxes] = play<search>(
        line, e.row, 0, 0, 0, [](search& s, HeadlessWindow&) { return s.identifyUnit(3, 0); });
    EXPECT_EQ(result, e.result) << name(e.row);
    EXPECT_EQ(boxes, e.boxes) << name(e.row);
    // Only an accepted answer fills in the unit.
    EXPECT_EQ(line.state.unitAddress, e.result == 0 ? 1 : 0) << name(e.row);
    EXPECT_EQ(line.state.masterVersion, e.result == 0 ? 120 : 0) << name(e.row);
    // The handle stays open until the next openPort, also on a device that went away.
    EXPECT_EQ(line.state.portHandle != nullptr, e.row != Row::held) << name(e.row);
  }
  report("IdentifyUnit", rows.size());
}

TEST(FaultMatrix, CommSettingsWrite) {
  const std::vector<Expected> rows{
      {Row::silence, 1, kNone},       {Row::late, 1, kNone},         {Row::shortByOne, 1, kNone},
      {Row::longByOne, 1, kNone},  // exactly 8 bytes
      {Row::wrongFunction, 1, kNone}, {Row::wrongStation, 1, kNone}, {Row::exception, 1, kNone},
      {Row::badCheck, 0, kNone},  // check bytes not compared
      {Row::resetting, 1, kNone},     {Row::vanished, 1, kNone},     {Row::noPort, 92, kNone},
  };
  for (const Expected& e : rows) {
    Line line;
    const auto [result, boxes] = play<set1>(
        line, e.row, 0, 0, 0, [](set1& d, HeadlessWindow&) { return d.commSettingsWrite(); });
    EXPECT_EQ(result, e.result) << name(e.row);
    EXPECT_EQ(boxes, e.boxes) << name(e.row);
    // The dialog showed the unit's own values; only a success moves the port settings, and
    // with no port the dialog is not even read.
    EXPECT_EQ(line.state.portBaud, 9600) << name(e.row);
    EXPECT_EQ(line.state.unitAddress, 1) << name(e.row);
  }
  report("CommSettingsWrite", rows.size());
}

TEST(FaultMatrix, ControlEditorReads) {
  struct Read {
    const char* what;
    std::function<int(set2&)> op;
  };
  const std::vector<Read> reads{
      {"readControlRegs1", [](set2& d) { return d.readControlRegs1(); }},
      {"readControlRegs2", [](set2& d) { return d.readControlRegs2(); }},
      {"readSpecRegs", [](set2& d) { return d.readSpecRegs(); }},
      {"readScaleReg", [](set2& d) { return d.readScaleReg(); }},
      {"readScaleOption", [](set2& d) { return d.readScaleOption(); }},
  };
  const std::vector<Expected> rows{
      {Row::silence, 1, kNone},          {Row::late, 1, kNone},
      {Row::shortByOne, 1, kNone},       {Row::longByOne, 0, kNone},     // one more byte is fine
      {Row::wrongFunction, 1, kNone},    {Row::wrongStation, 0, kNone},  // station not tested
      {Row::exception, 1, kNone},        {Row::badCheck, 0, kNone},
      {Row::resetting, 1, kNone},        {Row::vanished, 1, kNone},
      {Row::noPort, 99, kPortYetToOpen},
  };
  for (const Read& read : reads) {
    for (const Expected& e : rows) {
      Line line;
      line.unit.setControlReg(comm::COM_TR2, 222);
      line.unit.setControlReg(comm::COM_DI2, 1);
      line.unit.setSpecReg(comm::g_SPC_CUR, 8);
      line.unit.setControlReg(comm::COM_SCALELO, 44);
      line.unit.setSpecReg(comm::g_SPC_COM, 3);
      std::int16_t scaleOption = -5;
      const auto [result, boxes] =
          play<set2>(line, e.row, 0, 1, e.boxes.size(), [&](set2& d, HeadlessWindow&) {
            // Start from values the read must replace, or keep.
            line.state.controlRegs.fill(7);
            line.state.specRegs.fill(7);
            line.unit.setSpecReg(comm::g_SPC_COM, 0);
            const int r = read.op(d);
            scaleOption = d.scaleOptionCode();
            return r;
          });
      const bool stored = e.result == 0;
      EXPECT_EQ(result, e.result) << read.what << " " << name(e.row);
      EXPECT_EQ(boxes, e.boxes) << read.what << " " << name(e.row);
      const std::string w = read.what;
      const auto& regs = line.state.controlRegs;
      EXPECT_EQ(regs[comm::COM_TR2], stored && w == "readControlRegs1" ? 222 : 7) << w;
      EXPECT_EQ(regs[comm::COM_DI2], stored && w == "readControlRegs2" ? 1 : 7) << w;
      EXPECT_EQ(line.state.specRegs[comm::g_SPC_CUR], stored && w == "readSpecRegs" ? 8 : 7) << w;
      EXPECT_EQ(regs[comm::COM_SCALELO], stored && w == "readScaleReg" ? 44 : 7) << w;
      if (w == "readScaleOption") {
        EXPECT_EQ(scaleOption, stored ? 0 : 3) << "kept from the opening unless read anew";
      }
    }
  }
  report("ControlEditorReads", reads.size() * rows.size());
}

TEST(FaultMatrix, WriteSequence) {
  // The fault hits the first register write (after the sequence's g_SPC read).
  const char* ok = "書込みに成功しました..";
  const char* failed = "書込みに失敗しました..";
  const std::vector<Expected> rows{
      {Row::silence, 1, {failed}},    {Row::late, 1, {failed}},
      {Row::shortByOne, 1, {failed}}, {Row::longByOne, 1, {failed}},  // exactly 8 bytes
      {Row::wrongFunction, 0, {ok}},  // only bit 7 of byte 1 is looked at
      {Row::wrongStation, 0, {ok}},   {Row::exception, 1, {failed}},
      {Row::badCheck, 0, {ok}},       {Row::resetting, 1, {failed}},
      {Row::vanished, 1, {failed}},   {Row::noPort, 1, {"Port yet to open", failed}},
  };
  for (const Expected& e : rows) {
    Line line;
    set2::ControlValues values{};
    values.fill(0);
    values[comm::COM_MEM] = 1;
    const auto [result, boxes] =
        play<set2>(line, e.row, 1, 1, e.boxes.size(), [&](set2& d, HeadlessWindow&) {
          line.state.controlRegs.fill(-3);
          return d.writeControlSequence(values);
        });
    EXPECT_EQ(result, e.result) << name(e.row);
    EXPECT_EQ(boxes, e.boxes) << name(e.row);
    EXPECT_EQ(line.state.writeDoneFlag, e.result == 0 ? 1 : 0) << name(e.row);
    // Only what the unit took is kept: all of it, or nothing when the first write failed.
    EXPECT_EQ(line.state.controlRegs[comm::COM_MEM], e.result == 0 ? 1 : -3) << name(e.row);
    EXPECT_EQ(line.state.controlRegs[comm::COM_TR1], e.result == 0 ? 0 : -3) << name(e.row);
  }
  report("WriteSequence", rows.size());
}

TEST(FaultMatrix, EepromBlockRead) {
  const std::vector<Expected> rows{
      {Row::silence, 1, kNone},          {Row::late, 1, kNone},
      {Row::shortByOne, 1, kNone},       {Row::longByOne, 0, kNone},
      {Row::wrongFunction, 1, kNone},    {Row::wrongStation, 0, kNone},  // station not tested
      {Row::exception, 1, kNone},        {Row::badCheck, 0, kNone},  // block answers carry no check
      {Row::resetting, 1, kNone},        {Row::vanished, 1, kNone},
      {Row::noPort, 99, kPortYetToOpen},
  };
  for (const Expected& e : rows) {
    Line line;
    int lines = -1;
    std::string first;
    const auto [result, boxes] =
        play<eeprom>(line, e.row, 0, 0, e.boxes.size(), [&](eeprom& d, HeadlessWindow& w) {
          const int r = d.readEepromBlock(1);
          lines = w.lineCount(1111);
          if (lines > 0) first = w.lineText(1111, 0);
          return r;
        });
    EXPECT_EQ(result, e.result) << name(e.row);
    EXPECT_EQ(boxes, e.boxes) << name(e.row);
    // 38 cell lines, one failure line, or nothing when no port is open.
    EXPECT_EQ(lines, e.result == 0 ? 38 : e.result == 1 ? 1 : 0) << name(e.row);
    if (e.result == 0) {
      EXPECT_EQ(first, "38: g_u2_delay , 0 ") << name(e.row);
    } else if (e.result == 1) {
      EXPECT_EQ(first, "Failed to read!(EEP_DR2)") << name(e.row);
    }
  }
  report("EepromBlockRead", rows.size());
}

TEST(FaultMatrix, EepromCellWrite) {
  const std::vector<Expected> rows{
      {Row::silence, 1, kNone},       {Row::late, 1, kNone},
      {Row::shortByOne, 1, kNone},    {Row::longByOne, 1, kNone},
      {Row::wrongFunction, 1, kNone}, {Row::wrongStation, 1, kNone},  // byte 0 must be 0xFF
      {Row::exception, 1, kNone},     {Row::badCheck, 0, kNone},
      {Row::resetting, 1, kNone},     {Row::vanished, 1, kNone},
      {Row::noPort, 92, kNone},
  };
  for (const Expected& e : rows) {
    Line line;
    const auto [result, boxes] = play<eeprom>(line, e.row, 0, 0, 0, [](eeprom& d, HeadlessWindow&) {
      return d.writeEepromCell(100, 4321);
    });
    EXPECT_EQ(result, e.result) << name(e.row);
    EXPECT_EQ(boxes, e.boxes) << name(e.row);
    // The unit applies a write it heard even when its answer is lost or spoilt on the way.
    const bool heard = e.row != Row::resetting && e.row != Row::vanished && e.row != Row::noPort;
    EXPECT_EQ(line.unit.cell(100), heard ? 4321 : 0) << name(e.row);
  }
  report("EepromCellWrite", rows.size());
}

}  // namespace
