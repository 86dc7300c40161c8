// Reading the decimal separator of the user's regional settings.
#include "text/regional_settings.hpp"

#if defined(_WIN32)
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

#include <cstring>

namespace lkrva::text {

char DecimalSeparatorOf(const char* locale_name) {
#if defined(_WIN32)
  (void)locale_name;
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) > 0 &&
      std::strlen(buf) == 1) {
    return buf[0];
  }
  return '.';
#else
  // A locale object of our own: the process's locale (setlocale) stays as
  // the host set it.
  locale_t loc = newlocale(LC_NUMERIC_MASK, locale_name, static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  const char separator = (radix != nullptr && std::strlen(radix) == 1) ? radix[0] : '.';
  freelocale(loc);
  return separator;
#endif
}

char RegionalDecimalSeparator() {
  static const char separator = DecimalSeparatorOf("");
  return separator;
}

namespace {
// Read while the library loads, so later changes to the environment or the
// user's settings do not reach a loaded library.
[[maybe_unused]] const char separator_at_load = RegionalDecimalSeparator();
}  // namespace

}  // namespace lkrva::text
