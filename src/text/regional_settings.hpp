// The user's regional settings that the system's number text depends on.
#pragma once

namespace lkrva::text {

/// The decimal separator of the user's regional settings as they stood when
/// the library was loaded (a point when they cannot be read). Reading them
/// never changes the process's own locale.
char RegionalDecimalSeparator();

/// The decimal separator that the locale named `locale_name` uses, read
/// without changing the process's locale; a point when it cannot be read.
/// An empty name means the user's settings from the environment.
char DecimalSeparatorOf(const char* locale_name);

}  // namespace lkrva::text
