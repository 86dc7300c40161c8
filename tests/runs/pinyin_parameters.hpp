// A parameter set naming the survey table's columns by their pinyin names.
#pragma once

#include <string>

#include "params/parameter_set.hpp"

namespace lkrva::runs::testing {

inline params::ParameterSet PinyinParameters(const std::string& connection,
                                             const std::string& table, double cpj = 0) {
  params::ParameterSet p;
  p.ADOConString = connection;
  p.Tablename = table;
  p.JS = "JS";
  p.JXJ = "JXJ";
  p.FWJ = "FWJ";
  p.CZJS = "CZJS";
  p.X = "X";
  p.Y = "Y";
  p.BHFW = "BHFW";
  p.BHJ = "BHJ";
  p.JYQL = "JYQL";
  p.CPJ = cpj;
  return p;
}

}  // namespace lkrva::runs::testing
