// A lexical look at SQL text: where its first statement ends.
#pragma once

#include <string_view>

namespace lkrva::data {

/// Whether `sql` holds anything but blanks and comments after its first
/// statement's ";" (quotes, quoted names and comments are skipped, so a
/// ";" inside them does not count). Drivers that would run a second
/// statement are never given such a text.
bool HasSecondStatement(std::string_view sql);

}  // namespace lkrva::data
