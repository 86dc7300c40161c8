// The real survey bundled into the tool for `lkrva demo`.
#pragma once

namespace lkrva::cli {

extern const char* const kDemoSurveyName;    ///< its file name in data/surveys
extern const char* const kDemoSurveySource;  ///< where it comes from, and its licence
extern const char* const kDemoSurveyCsv;     ///< the file as published

}  // namespace lkrva::cli
