// What a calculation run works on: the module-wide parameters, station
// arrays and table references, and the user interface.
#pragma once

#include <cstdint>
#include <string>

#include "data/data_module.hpp"
#include "params/parameter_set.hpp"
#include "trajectory/stations.hpp"
#include "ui/user_interface.hpp"

namespace lkrva::runs {

/// The texts the runs show, as the system has always shown them.
namespace texts {
inline constexpr const char* kNoRecords = "数据初始化失败！";
inline constexpr const char* kErrorTitle = "错误";
inline constexpr const char* kWarningTitle = "警告";
inline constexpr const char* kNoticeTitle = "提示";
inline constexpr const char* kWriteBackFailed =
    "数据表中的数据填写不正确，计算的值超出实际的范围,请检查后重新计算。";
inline constexpr const char* kRunFailed = "计算失败：";
inline constexpr const char* kDepthNotFound = "未找到该井深的测点！";
inline constexpr const char* kFinished = "计算完毕！";
}  // namespace texts

struct RunContext {
  const params::ParameterSet& params;
  trajectory::StationArrays& stations;
  data::DataState& data;
  ui::UserInterface& ui;
};

/// The message-box function the table operations report through; it also
/// remembers that the user has been told, so no failure is shown twice.
class Reporter {
 public:
  explicit Reporter(ui::UserInterface& ui) : ui_(ui) {}
  void Show(const std::string& text, const std::string& title, std::uint32_t icon) {
    reported_ = true;
    ui_.ShowMessage(text, title, icon);
  }
  data::MessageBoxFn AsMessageBox() {
    return [this](const std::string& text, const std::string& title, unsigned icon) {
      Show(text, title, icon);
    };
  }
  bool reported() const { return reported_; }

 private:
  ui::UserInterface& ui_;
  bool reported_ = false;
};

}  // namespace lkrva::runs
