# The table commands end to end: import, table, export, record, plot, demo.
set(work ${CMAKE_CURRENT_BINARY_DIR}/work)

# A survey with missing readings, computed through the database and through
# CSV alone, must give the same file.
add_test(NAME cli.table_matches_compute
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/table-matches-compute.sh ${LKRVA}
          ${FIXTURES}/missing-readings.csv ${work}/table-matches-compute)
set_tests_properties(cli.table_matches_compute PROPERTIES
  PASS_REGULAR_EXPRESSION "table, export, compute and record agree")

add_test(NAME cli.demo COMMAND ${LKRVA} demo --dir ${work}/demo)
set_tests_properties(cli.demo PROPERTIES PASS_REGULAR_EXPRESSION
  "Imported 79 stations.*6 with a reading removed.*Everything is in .*trajectory.svg")
add_test(NAME cli.demo_files
  COMMAND sh -c "test -s \"$0/survey.sqlite\" && head -c 8 \"$0/trajectory.png\" | od -c | grep -q 'P   N   G' && grep -q '<svg' \"$0/trajectory.svg\""
          ${work}/demo)
set_tests_properties(cli.demo_files PROPERTIES DEPENDS cli.demo)

add_test(NAME cli.plot_csv COMMAND ${LKRVA} plot ${FIXTURES}/three-stations.csv
                                   --out ${work}/three.pdf)
set_tests_properties(cli.plot_csv PROPERTIES PASS_REGULAR_EXPRESSION "wrote .*three.pdf")
add_test(NAME cli.plot_needs_a_source COMMAND sh -c "\"$0\" plot --out x.svg 2>/dev/null; test $? -eq 2"
                                             ${LKRVA})
add_test(NAME cli.table_needs_its_table
  COMMAND sh -c "\"$0\" table --connection x 2>/dev/null; test $? -eq 2" ${LKRVA})
add_test(NAME cli.import_refuses_odd_names
  COMMAND sh -c "\"$0\" import \"$1\" --connection x --table 'a;b' 2>/dev/null; test $? -eq 2"
          ${LKRVA} ${FIXTURES}/three-stations.csv)

# record: the deepest demo station, each value with its name and unit.
add_test(NAME cli.record_names_and_units
  COMMAND ${LKRVA} record --connection "Provider=SQLite;Data Source=${work}/demo/survey.sqlite"
          --table survey --depth 2267 --declination -2.5 --quiet)
set_tests_properties(cli.record_names_and_units PROPERTIES DEPENDS cli.demo
  PASS_REGULAR_EXPRESSION "station at depth 2267:\n  JXJ +inclination +35.43  degrees\n.*  JYQL +curvature of the last segment +0.615032187602459  degrees per 30 depth units")

# Cairo's text asks fontconfig for fonts, and fontconfig keeps what it loads
# for the life of the process; LeakSanitizer would count that.
set_tests_properties(cli.demo cli.plot_csv PROPERTIES
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/plot/lsan.supp")

# table's summary: the stations, the records filled, the deepest station.
add_test(NAME cli.table_summary
  COMMAND sh -c "rm -rf \"$2\" && mkdir -p \"$2\" && : > \"$2/s.sqlite\" && \"$0\" import \"$1\" --connection \"Provider=SQLite;Data Source=$2/s.sqlite\" --table survey --create >/dev/null && \"$0\" table --connection \"Provider=SQLite;Data Source=$2/s.sqlite\" --table survey --declination 0 --quiet"
          ${LKRVA} ${FIXTURES}/missing-readings.csv ${work}/summary)
set_tests_properties(cli.table_summary PROPERTIES PASS_REGULAR_EXPRESSION
  "computed 8 stations in [0-9.]+ s; filled the readings of 3 records\ndeepest station: JS=1100  CZJS=1066.90472394182  X=193.149580273637  Y=83.1432557812159  closure BHJ=210.284477177425 at BHFW=23.289966260544  JYQL=0.668910430161064\n")
# A run the server reports as failed (no such table) exits 1, told once.
add_test(NAME cli.table_failed_run_exits_1
  COMMAND sh -c "\"$0\" table --connection \"Provider=SQLite;Data Source=$1/s.sqlite\" --table nosuch --declination 0 2>&1; test $? -eq 1"
          ${LKRVA} ${work}/summary)
set_tests_properties(cli.table_failed_run_exits_1 PROPERTIES DEPENDS cli.table_summary
  PASS_REGULAR_EXPRESSION "警告: 数据初始化失败！")
