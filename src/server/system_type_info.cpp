// The module's type library as the system loads it, for GetClassInfo.
#include "server/system_type_info.hpp"

#include <mutex>
#include <string>

#include "server/class_factory.hpp"

namespace lkrva::server {

namespace {

std::mutex g_mutex;
ITypeLib* g_library = nullptr;  // kept until the process ends

std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

}  // namespace

HRESULT SystemClassTypeInfo(REFCLSID clsid, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  const std::lock_guard lock(g_mutex);
  if (g_library == nullptr) {
    const std::wstring path = Wide(ModulePath());
    if (path.empty()) return E_FAIL;
    const HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &g_library);
    if (FAILED(hr)) {
      g_library = nullptr;
      return hr;
    }
  }
  return g_library->GetTypeInfoOfGuid(clsid, out);
}

}  // namespace lkrva::server
