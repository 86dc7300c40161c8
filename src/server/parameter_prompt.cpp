// The declination prompt and the storing of the parameter set.
#include "server/parameter_prompt.hpp"

#include <utility>

#include "com/bstr.hpp"
#include "text/ansi_text.hpp"
#include "text/number_text.hpp"
#include "text/regional_settings.hpp"

namespace lkrva::server {

namespace {

std::string Convert(BSTR text) { return text::Utf16ToLocaleText(com::View(text)); }

}  // namespace

bool AcceptParameters(ui::UserInterface& ui, params::ParameterSet& set,
                      const ParameterTexts& texts) {
  const auto entry = ui.InputQuery("系统提示", "请输入磁偏角：", "0");
  if (!entry) return false;
  const auto declination = text::ParseNumber(*entry, text::RegionalDecimalSeparator());
  if (!declination) {
    ui.ShowMessage("磁偏角为数字", "提示", ui::kIconWarning);
    return false;
  }
  params::ParameterSet next;
  next.CPJ = *declination;
  next.ADOConString = Convert(texts.ADOConString);
  next.Tablename = Convert(texts.Tablename);
  next.FilterStr = Convert(texts.FilterStr);
  next.JS = Convert(texts.JS);
  next.JXJ = Convert(texts.JXJ);
  next.FWJ = Convert(texts.FWJ);
  next.CZJS = Convert(texts.CZJS);
  next.X = Convert(texts.X);
  next.Y = Convert(texts.Y);
  next.BHFW = Convert(texts.BHFW);
  next.BHJ = Convert(texts.BHJ);
  next.JYQL = Convert(texts.JYQL);
  set = std::move(next);
  return true;
}

}  // namespace lkrva::server
