// The EEPROM dialog's text handling: the value field read like atoi and taken modulo 65536,
// compared with a plain reference where the number is small enough for one; and the line of a
// listed cell for any cell and value.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dialogs/eeprom.h"

namespace {

// Reference for texts whose digits fit in 18 places.
bool reference(std::string_view text, std::uint16_t& out) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  int digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (++digits > 18) return false;
    value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  out = static_cast<std::uint16_t>(((value % 65536) + 65536) % 65536);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::uint16_t parsed = parseCellValue(text);
  std::uint16_t expected = 0;
  if (reference(text, expected) && parsed != expected) std::abort();

  if (size >= 3) {
    const int cell = data[0] % 114;
    const auto value = static_cast<std::int16_t>((data[1] << 8) | data[2]);
    const std::string line =
        eepromLine(cell, eepromCellNames()[static_cast<std::size_t>(cell)], value);
    const std::string number = std::to_string(value);
    if (line.size() < 4 || line.back() != ' ' ||
        line.find(" , " + number + " ") == std::string::npos)
      std::abort();
  }
  return 0;
}
