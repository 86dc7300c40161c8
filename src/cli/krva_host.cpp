// Finding KRVA (through the registry or the built library) and driving one object through its
// binary interface.
#include "cli/krva_host.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <limits.h>
#include <array>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "cli/import_command.hpp"
#include "cli/table_summary.hpp"
#include "cli/tool_ui.hpp"
#include "lkrva/lkrva.h"
#include "lkrva/lkrva_activation.h"
#include "text/ansi_text.hpp"
#include "text/number_text.hpp"

namespace lkrva::cli {

std::string BuiltLibraryPath() {
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    std::string path(exe, static_cast<std::size_t>(n));
    path = path.substr(0, path.rfind('/')) + "/../lib/liblkrva.so";
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return LKRVA_BUILT_LIBRARY;
}

namespace {

/// The library's exports; the library stays loaded for the process.
struct Library {
  LKRVA_DllGetClassObjectFn get_class_object;
  LKRVA_SysAllocStringLenFn alloc;
  LKRVA_SysFreeStringFn free;
  LKRVA_SetUiCallbacksFn set_ui;

  static Library Load(const std::string& path) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (h == nullptr) throw std::runtime_error(std::string("cannot load ") + dlerror());
    const auto sym = [&](const char* name) {
      void* p = dlsym(h, name);
      if (p == nullptr) throw std::runtime_error(path + " lacks " + name);
      return p;
    };
    return {reinterpret_cast<LKRVA_DllGetClassObjectFn>(sym("DllGetClassObject")),
            reinterpret_cast<LKRVA_SysAllocStringLenFn>(sym("LKRVA_SysAllocStringLen")),
            reinterpret_cast<LKRVA_SysFreeStringFn>(sym("LKRVA_SysFreeString")),
            reinterpret_cast<LKRVA_SetUiCallbacksFn>(sym("LKRVA_SetUiCallbacks"))};
  }
};

/// A BSTR of the library, freed by it.
class Bstr {
 public:
  Bstr(const Library& lib, const std::string& utf8) : lib_(lib) {
    const std::u16string text = text::Utf8ToUtf16(utf8);
    b_ = lib_.alloc(text.data(), static_cast<std::uint32_t>(text.size()));
    if (b_ == nullptr) throw std::bad_alloc();
  }
  ~Bstr() { lib_.free(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return b_; }

 private:
  const Library& lib_;
  BSTR b_ = nullptr;
};

/// Column names: the pinyin defaults, replaced by NAME=column pairs.
std::array<std::string, 9> ColumnNames(const std::string& spec) {
  const SurveyColumns c = ParseSurveyColumns(spec);
  return {c.JS, c.JXJ, c.FWJ, c.CZJS, c.BHJ, c.BHFW, c.X, c.Y, c.JYQL};
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

/// A KRVA object made by the factory of `lib`.
IKRVA* CreateFromLibrary(const Library& lib) {
  IClassFactory* factory = nullptr;
  HRESULT hr =
      lib.get_class_object(CLSID_KRVA, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (hr != S_OK) throw std::runtime_error("the library serves no KRVA class");
  IKRVA* krva = nullptr;
  hr = factory->CreateInstance(nullptr, IID_IKRVA, reinterpret_cast<void**>(&krva));
  factory->Release();
  if (hr != S_OK) throw std::runtime_error("cannot create a KRVA object");
  return krva;
}

/// A KRVA object and the library serving it.
struct Krva {
  IKRVA* object;
  Library lib;
};

/// By the registry when LKRVA.KRVA is registered, else from the built library.
Krva CreateKrva() {
  CLSID clsid{};
  const HRESULT found = LKRVA_CLSIDFromProgID("LKRVA.KRVA", &clsid);
  if (found == REGDB_E_READREGDB) {
    std::fprintf(stderr, "lkrva: the registry cannot be read; using %s\n",
                 BuiltLibraryPath().c_str());
  }
  if (found != S_OK) {
    Library lib = Library::Load(BuiltLibraryPath());
    return {CreateFromLibrary(lib), lib};
  }
  IKRVA* krva = nullptr;
  const HRESULT hr = LKRVA_CreateInstance(clsid, IID_IKRVA, reinterpret_cast<void**>(&krva));
  if (hr != S_OK) {
    throw std::runtime_error("LKRVA.KRVA is registered but cannot be created (" + Hex(hr) +
                             "); `lkrva register` or `lkrva unregister` sets it right");
  }
  // The library whose code the object runs: its BSTRs and UI callbacks go with it.
  Dl_info info{};
  const void* first_function = (*reinterpret_cast<void* const* const*>(krva))[0];
  if (dladdr(first_function, &info) == 0 || info.dli_fname == nullptr) {
    krva->Release();
    throw std::runtime_error("cannot tell which library serves the registered KRVA");
  }
  try {
    return {krva, Library::Load(info.dli_fname)};
  } catch (...) {
    krva->Release();
    throw;
  }
}

/// The tool's answers installed in the library for as long as it lives.
class InstalledUi {
 public:
  InstalledUi(const Library& lib, const KrvaHostOptions& o)
      : lib_(lib), ui_(o.declination, o.quiet) {
    if (o.gui) return;
    const LKRVA_UiCallbacks cb = ui_.Callbacks();
    if (lib_.set_ui(&cb) != S_OK) throw std::runtime_error("the library refused the callbacks");
    installed_ = true;
  }
  ~InstalledUi() {
    if (installed_) lib_.set_ui(nullptr);
  }
  InstalledUi(const InstalledUi&) = delete;
  InstalledUi& operator=(const InstalledUi&) = delete;
  int messages() const { return ui_.messages(); }

 private:
  const Library& lib_;
  ToolUi ui_;
  bool installed_ = false;
};

/// The parameters handed to the object (the server asks for the declination).
IKRVA* StoreParameters(Krva& made, const KrvaHostOptions& o) {
  const Library& lib = made.lib;
  IKRVA* krva = made.object;
  const auto names = ColumnNames(o.columns);
  const Bstr con(lib, o.connection), table(lib, o.table), filter(lib, o.filter);
  const Bstr js(lib, names[0]), jxj(lib, names[1]), fwj(lib, names[2]), czjs(lib, names[3]),
      bhj(lib, names[4]), bhfw(lib, names[5]), x(lib, names[6]), y(lib, names[7]),
      jyql(lib, names[8]);
  if (krva->transparameter(con, table, filter, js, jxj, fwj, czjs, bhj, bhfw, x, y, jyql) != S_OK) {
    krva->Release();
    std::fprintf(stderr, "lkrva: no declination confirmed; nothing was computed\n");
    return nullptr;
  }
  return krva;
}

/// Calls transparameter on the object made; null (and the object released)
/// when it stored nothing or anything went wrong.
IKRVA* HandOver(Krva& made, const KrvaHostOptions& o) {
  try {
    return StoreParameters(made, o);
  } catch (...) {
    made.object->Release();
    throw;
  }
}

}  // namespace

int RunTable(const KrvaHostOptions& options, std::FILE* out) {
  Krva made = CreateKrva();
  InstalledUi ui(made.lib, options);
  IKRVA* krva = HandOver(made, options);
  if (krva == nullptr) return 1;
  const TableNames names{options.connection, options.table, options.filter,
                         ColumnNames(options.columns)};
  const std::optional<TableBefore> before = CountBeforeRun(names);
  const auto start = std::chrono::steady_clock::now();
  krva->mathtable(options.gtdjs);  // S_OK on every path; the server tells the user of failures
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  krva->Release();
  if (ui.messages() > 0) return 1;
  PrintSummary(names, before, seconds, out);
  return 0;
}

int RunRecord(const KrvaHostOptions& options, std::FILE* out) {
  Krva made = CreateKrva();
  InstalledUi ui(made.lib, options);
  IKRVA* krva = HandOver(made, options);
  if (krva == nullptr) return 1;
  std::array<double, 8> v{};
  const HRESULT hr = krva->mathrecord(options.depth, options.gtdjs, &v[0], &v[1], &v[2], &v[3],
                                      &v[4], &v[5], &v[6], &v[7]);
  krva->Release();
  if (hr != S_OK) {
    std::fprintf(stderr, "lkrva: no results for depth %s\n",
                 text::FormatNumber(options.depth, '.').c_str());
    return 1;
  }
  if (options.csv) {
    std::string line = "JXJ,FWJ,CZJS,BHJ,BHFW,X,Y,JYQL\n";
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (i > 0) line += ',';
      text::AppendNumber(line, v[i], '.');
    }
    line += '\n';
    std::fputs(line.c_str(), out);
    return 0;
  }
  // In the order of the outputs of mathrecord.
  const std::string per = "degrees per " + text::FormatNumber(options.gtdjs, '.') + " depth units";
  const struct {
    const char* name;
    const char* meaning;
    std::string unit;
  } rows[] = {{"JXJ", "inclination", "degrees"},
              {"FWJ", "azimuth (without declination)", "degrees"},
              {"CZJS", "vertical depth", "depth units"},
              {"BHJ", "closure distance", "depth units"},
              {"BHFW", "closure azimuth", "degrees"},
              {"X", "north coordinate", "depth units"},
              {"Y", "east coordinate", "depth units"},
              {"JYQL", "curvature of the last segment", per}};
  std::fprintf(out, "station at depth %s:\n", text::FormatNumber(options.depth, '.').c_str());
  for (std::size_t i = 0; i < v.size(); ++i) {
    std::fprintf(out, "  %-5s %-30s %20s  %s\n", rows[i].name, rows[i].meaning,
                 text::FormatNumber(v[i], '.').c_str(), rows[i].unit.c_str());
  }
  return 0;
}

}  // namespace lkrva::cli
