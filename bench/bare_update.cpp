// The bare SQLite C API doing what a whole-table run does to the table: read
// every row in depth order and update six result columns of each, in one
// transaction. The baseline that bench/runs-e2e.sh measures `lkrva table`
// against. Usage: bare_update FILE.sqlite TABLE
#include <sqlite3.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bare_update FILE.sqlite TABLE\n");
    return 2;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return 1;
  const std::string table = argv[2];
  sqlite3_stmt* sel = nullptr;
  sqlite3_stmt* upd = nullptr;
  // The run's main statement is "select *": the same rows, every column.
  sqlite3_prepare_v2(db, ("select rowid, * from " + table + " order by JS").c_str(), -1, &sel,
                     nullptr);
  sqlite3_prepare_v2(db,
                     ("update " + table +
                      " set CZJS = ?, X = ?, Y = ?, BHFW = ?, BHJ = ?, JYQL = ? where rowid = ?")
                         .c_str(),
                     -1, &upd, nullptr);
  sqlite3_exec(db, "begin immediate", nullptr, nullptr, nullptr);
  double sum = 0;
  long rows = 0;
  while (sqlite3_step(sel) == SQLITE_ROW) {
    const int columns = sqlite3_column_count(sel);
    for (int c = 1; c < columns; ++c) sum += sqlite3_column_double(sel, c);
    for (int c = 1; c <= 6; ++c) sqlite3_bind_double(upd, c, sum * c);
    sqlite3_bind_int64(upd, 7, sqlite3_column_int64(sel, 0));
    if (sqlite3_step(upd) != SQLITE_DONE) return 1;
    sqlite3_reset(upd);
    ++rows;
  }
  sqlite3_finalize(sel);
  sqlite3_finalize(upd);
  sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  std::printf("%ld rows\n", rows);
  return 0;
}
