#include "csv/survey_csv.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace lkrva::csv {
namespace {

std::string ErrorOf(const std::string& text) {
  try {
    ParseSurveyCsv(text, "s.csv");
  } catch (const SurveyFileError& e) {
    return e.what();
  }
  return "no error";
}

TEST(survey_csv, header_names_and_units) {
  const char* headers[] = {"JS,JXJ,FWJ", "md,inc,azi", "MD[m],Inc[deg],Azi[deg]",
                           "Depth ( ft ),Inclination ( deg ),Azimuth ( deg )",
                           "\xEF\xBB\xBFJS,JXJ,FWJ"};
  for (const char* header : headers) {
    const SurveyFile s = ParseSurveyCsv(std::string(header) + "\n100,2,30\n", "s.csv");
    ASSERT_EQ(s.rows.size(), 1u) << header;
    EXPECT_EQ(s.rows[0].JS, 100);
    EXPECT_EQ(*s.rows[0].JXJ, 2);
    EXPECT_EQ(*s.rows[0].FWJ, 30);
  }
}

TEST(survey_csv, preamble_other_columns_quotes_blank_lines_and_missing_readings) {
  const SurveyFile s = ParseSurveyCsv(
      "#Minimum Curvature\r\n"
      "Stn,FWJ,\"Note\",JS,JXJ\r\n"
      "1,30,\"a, quoted\ncell\",100,2\r\n"
      "\r\n"
      "2,,x,200,\r\n"
      "3, 40 ,\"\",300, 4\r\n",
      "s.csv");
  ASSERT_EQ(s.rows.size(), 3u);
  EXPECT_EQ(s.lines[0], 3u);
  EXPECT_EQ(s.lines[1], 6u);
  EXPECT_FALSE(s.rows[1].JXJ);
  EXPECT_FALSE(s.rows[1].FWJ);
  EXPECT_EQ(s.rows[2].JS, 300);
  EXPECT_EQ(*s.rows[2].FWJ, 40);
}

TEST(survey_csv, bad_input_names_the_file_line_and_column) {
  EXPECT_EQ(ErrorOf("JS,JXJ,FWJ\n100,2,30\n200,abc,30\n"),
            "s.csv:3:2: \"abc\" is not a number (inclination (JXJ))");
  EXPECT_EQ(ErrorOf("JS,JXJ,FWJ\n100,2,1,5\n,2,3\n"), "s.csv:3:1: the depth is missing");
  EXPECT_EQ(ErrorOf("A,B,C\n1,2,3\n"),
            "s.csv:1: no header line names the depth, inclination and azimuth columns "
            "(JS, JXJ, FWJ or MD, INC, AZI)");
  EXPECT_EQ(ErrorOf("JS,JXJ,FWJ\n100,2\n"),
            "s.csv:2: the line has 2 cells; the depth (JS), inclination and azimuth need 3");
  EXPECT_EQ(ErrorOf("JS,JXJ,FWJ\n\"100,2,3\n"),
            "s.csv:2: a quoted cell is not closed before the end of the file");
  EXPECT_EQ(ErrorOf("JS,JXJ,FWJ\n100,2,1E400\n"),
            "s.csv:2:3: \"1E400\" is not a number (azimuth (FWJ))");
}

TEST(survey_csv, large_files_read_in_halves_keep_order_and_line_numbers) {
  // Large enough to be read on two threads.
  std::string text = "# preamble\nJS,JXJ,FWJ\n";
  const int rows = 400000;
  for (int i = 1; i <= rows; ++i) text += std::to_string(i) + ".5,1.25,2\n";
  const SurveyFile s = ParseSurveyCsv(text, "big.csv");
  ASSERT_EQ(s.rows.size(), static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    ASSERT_EQ(s.rows[i].JS, i + 1.5);
    ASSERT_EQ(s.lines[i], static_cast<std::size_t>(i + 3));
  }
  // An error in each half: the earlier one is reported.
  std::string late = text;
  late.replace(late.rfind("\n400000.5,1.25,2"), 17, "\n400000.5,x,2");
  EXPECT_EQ(ErrorOf(late), "s.csv:400002:2: \"x\" is not a number (inclination (JXJ))");
  std::string both = late;
  both.replace(both.find("\n10.5,1.25,2"), 12, "\n10.5,1.25,");
  both.replace(both.find("\n11.5,1.25,2"), 12, "\n,1.25,2");
  EXPECT_EQ(ErrorOf(both), "s.csv:13:1: the depth is missing");
}

TEST(survey_csv, unreadable_files) {
  try {
    ReadSurveyCsv("/nonexistent/survey.csv");
    FAIL() << "no error";
  } catch (const SurveyFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "/nonexistent/survey.csv: cannot be read: No such file or directory");
  }
  EXPECT_THROW(ReadSurveyCsv("/"), SurveyFileError);
}

TEST(survey_csv, bundled_surveys_read) {
  const char* source = std::getenv("LKRVA_SOURCE_DIR");
  if (source == nullptr) GTEST_SKIP() << "LKRVA_SOURCE_DIR not set";
  const struct {
    const char* file;
    std::size_t rows;
  } surveys[] = {{"deviation-m.csv", 79}, {"well1515-ft.csv", 83}};
  for (const auto& s : surveys) {
    EXPECT_EQ(ReadSurveyCsv(std::string(source) + "/data/surveys/" + s.file).rows.size(), s.rows)
        << s.file;
  }
}

}  // namespace
}  // namespace lkrva::csv
