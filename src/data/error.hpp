// The one exception type of the data layer: every failure of a connection,
// statement, filter or write-back surfaces as a DataError with a full message.
#pragma once

#include <stdexcept>
#include <string>

namespace lkrva::data {

/// A data-access failure. The message says what was being done (which
/// statement, which column) and what the database said.
class DataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lkrva::data
