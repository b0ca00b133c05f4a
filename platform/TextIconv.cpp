#include <iconv.h>

#include <cerrno>

#include "platform/Platform.h"

namespace platform {

std::optional<std::string> toCp932(std::string_view utf8) {
  iconv_t cd = ::iconv_open("CP932", "UTF-8");
  // iconv_open reports failure as (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::nullopt;  // NOLINT(performance-no-int-to-ptr)
  std::string out(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t r = ::iconv(cd, &in, &inLeft, &to, &outLeft);
  ::iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace platform
