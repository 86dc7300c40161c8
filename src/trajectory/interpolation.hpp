// Filling a missing inclination or azimuth by linear interpolation in depth.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace lkrva::trajectory {

/// A complete survey record used as an interpolation neighbour.
struct Neighbour {
  double JS;   ///< depth
  double JXJ;  ///< inclination, degrees
  double FWJ;  ///< azimuth, degrees
};

/// An inclination and azimuth pair, degrees.
struct Reading {
  double JXJ;
  double FWJ;
};

/// The readings at depth d between the nearest complete records above
/// (`upper`, depth < d) and below (`lower`, depth > d):
///  - both present: inclination i2 − (d2 − d)/(d2 − d1)·(i2 − i1); azimuth the
///    same along the shorter arc across north, brought into [0, 360), so 350
///    at 100 and 10 at 200 give 0 at 150. Equal neighbour values give that
///    value unchanged.
///  - one present: its readings; none: 0 and 0.
Reading InterpolateBetween(double d, const std::optional<Neighbour>& upper,
                           const std::optional<Neighbour>& lower);

/// A survey row whose readings may be missing.
struct PartialRecord {
  double JS;
  std::optional<double> JXJ;
  std::optional<double> FWJ;
  bool complete() const { return JXJ.has_value() && FWJ.has_value(); }
};

/// Gives every incomplete row both readings anew, visiting rows by ascending
/// depth (rows of equal depth in their given order); a row filled earlier
/// counts as complete for the rows after it. A complete row at the very same
/// depth lends its readings. Returns the number of rows filled. Cost:
/// O(n log n) for n rows.
///
/// `as_stored`, when given, maps each filled reading to the value it has
/// once stored (say, written as text and read back); filled rows keep that
/// value and lend it to the rows after them, as they would when every pair
/// is written to a table before the next row is looked at.
std::size_t FillMissingReadings(std::span<PartialRecord> rows,
                                double (*as_stored)(double) = nullptr);

}  // namespace lkrva::trajectory
