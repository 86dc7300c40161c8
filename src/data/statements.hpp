// The SQL texts the runs send: the main statement, the per-record statement
// and the two neighbour statements. Parameter texts go in as they are; the
// depth goes in as text in the number-to-text form.
#pragma once

#include <string>

#include "params/parameter_set.hpp"
#include "text/regional_settings.hpp"

namespace lkrva::data {

/// "select * from T where F order by JS", or without " where F" when the
/// filter has no characters at all (blanks count as a filter).
std::string MainStatement(const params::ParameterSet& p);

/// "select * from T where  JS=<depth> order by JS" (two blanks after where).
std::string RecordStatement(const params::ParameterSet& p, double depth,
                            char separator = text::RegionalDecimalSeparator());

/// The nearest shallower complete record first:
/// "select * from T where   (FWJ is not null) and (JXJ is not null) and JS<d order by JS desc".
std::string UpperNeighbourStatement(const params::ParameterSet& p, double depth,
                                    char separator = text::RegionalDecimalSeparator());

/// The nearest deeper complete record first:
/// "select * from T where   (FWJ is not null) and (JXJ is not null) and JS>d order by JS".
std::string LowerNeighbourStatement(const params::ParameterSet& p, double depth,
                                    char separator = text::RegionalDecimalSeparator());

}  // namespace lkrva::data
