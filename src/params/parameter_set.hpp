// The calculation parameters: where the survey lives, what its columns are
// called, and the declination to add to its azimuths.
#pragma once

#include <string>

namespace lkrva::params {

/// One process-wide set, filled by `transparameter` once the user confirms a
/// declination and read by every run. Texts are 8-bit, in the character set
/// of the user's locale; nothing checks them, and they go into SQL as they are.
struct ParameterSet {
  std::string ADOConString;  ///< connection string of the database
  std::string Tablename;     ///< the survey table
  std::string FilterStr;     ///< filter over the table; empty (no characters at all) for none
  std::string JS;            ///< measured-depth column
  std::string JXJ;           ///< inclination column
  std::string FWJ;           ///< azimuth column
  std::string CZJS;          ///< vertical-depth result column
  std::string X;             ///< north-coordinate result column
  std::string Y;             ///< east-coordinate result column
  std::string BHFW;          ///< closure-azimuth result column
  std::string BHJ;           ///< closure-distance result column
  std::string JYQL;          ///< curvature result column
  double CPJ = 0;            ///< magnetic declination, degrees, added to every azimuth
};

}  // namespace lkrva::params
