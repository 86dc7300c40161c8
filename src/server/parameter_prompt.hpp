// The body of transparameter: ask for the declination, then keep the set.
#pragma once

#include "lkrva/com_types.h"
#include "params/parameter_set.hpp"
#include "ui/user_interface.hpp"

namespace lkrva::server {

/// The twelve texts as transparameter receives them, in its order.
struct ParameterTexts {
  BSTR ADOConString, Tablename, FilterStr, JS, JXJ, FWJ, CZJS, BHJ, BHFW, X, Y, JYQL;
};

/// Asks through `ui` for the declination ("系统提示", "请输入磁偏角：",
/// entry "0"). Cancelled: returns false, nothing shown, `set` unchanged. An
/// entry that is no number by the regional number rules (1E400 included):
/// the warning "磁偏角为数字" titled "提示", false, `set` unchanged.
/// Otherwise stores CPJ and the twelve texts, each converted to the locale's
/// character set (null BSTR: empty), and returns true. Conversion happens
/// before anything is stored, so a failure (thrown) leaves `set` unchanged.
bool AcceptParameters(ui::UserInterface& ui, params::ParameterSet& set,
                      const ParameterTexts& texts);

}  // namespace lkrva::server
