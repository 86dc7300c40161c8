// Reading the type library out of a module file: the section of an ELF
// file, or on Windows the TYPELIB resource of a DLL.
#include "typelib/embedded_typelib.hpp"

#if defined(_WIN32)
#include <windows.h>
#else
#include <elf.h>
#endif

#include <cstring>
#include <fstream>
#include <iterator>

namespace lkrva::typelib {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
  throw TypeLibError(path + ": " + what);
}

#if !defined(_WIN32)

// Copies a header structure out of the file after checking it fits.
template <typename T>
T ReadAt(const std::vector<uint8_t>& file, uint64_t offset, const std::string& path,
         const char* what) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) {
    Fail(path, std::string(what) + " lies outside the file");
  }
  T out;
  std::memcpy(&out, file.data() + offset, sizeof(T));
  return out;
}

template <typename Ehdr, typename Shdr>
std::vector<uint8_t> SectionOf(const std::vector<uint8_t>& file, const std::string& path) {
  const auto eh = ReadAt<Ehdr>(file, 0, path, "ELF header");
  if (eh.e_shentsize != sizeof(Shdr)) Fail(path, "unexpected section header size");
  if (eh.e_shstrndx >= eh.e_shnum) Fail(path, "section name table index out of range");
  // The whole header table must fit, so no offset computed below can wrap.
  if (eh.e_shoff > file.size() || (file.size() - eh.e_shoff) / sizeof(Shdr) < eh.e_shnum) {
    Fail(path, "section headers lie outside the file");
  }
  const auto names = ReadAt<Shdr>(file, eh.e_shoff + uint64_t{eh.e_shstrndx} * sizeof(Shdr), path,
                                  "section name table header");
  if (names.sh_offset > file.size() || file.size() - names.sh_offset < names.sh_size) {
    Fail(path, "section name table lies outside the file");
  }
  const std::size_t wanted = std::strlen(kTypeLibSection);
  for (uint64_t i = 0; i < eh.e_shnum; ++i) {
    const auto sh = ReadAt<Shdr>(file, eh.e_shoff + i * sizeof(Shdr), path, "section header");
    // The name must fit, terminator included, inside the name table.
    if (sh.sh_name >= names.sh_size || names.sh_size - sh.sh_name < wanted + 1) continue;
    const uint8_t* name = file.data() + names.sh_offset + sh.sh_name;
    if (std::memcmp(name, kTypeLibSection, wanted + 1) != 0) continue;
    if (sh.sh_type == SHT_NOBITS || sh.sh_offset > file.size() ||
        file.size() - sh.sh_offset < sh.sh_size) {
      Fail(path, std::string("section ") + kTypeLibSection + " lies outside the file");
    }
    const auto* begin = file.data() + sh.sh_offset;
    return std::vector<uint8_t>(begin, begin + sh.sh_size);
  }
  Fail(path, std::string("no type library (no ") + kTypeLibSection + " section)");
}
#endif

}  // namespace

#if defined(_WIN32)

std::vector<uint8_t> FindEmbeddedTypeLib(const std::string& module_path) {
  // A raw MSFT file is what LoadTypeLib also accepts.
  {
    std::ifstream in(module_path, std::ios::binary);
    if (!in) Fail(module_path, "cannot open the module file");
    char magic[4] = {};
    if (in.read(magic, sizeof magic) && std::memcmp(magic, "MSFT", 4) == 0) {
      in.seekg(0);
      return std::vector<uint8_t>{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    }
  }
  // The resources of the file, not its code: nothing of it runs.
  const HMODULE module = ::LoadLibraryExA(
      module_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) Fail(module_path, "neither a module nor a type library");
  std::vector<uint8_t> out;
  const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(1), "TYPELIB");
  const HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data != nullptr) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.assign(bytes, bytes + ::SizeofResource(module, resource));
  }
  ::FreeLibrary(module);
  if (data == nullptr) Fail(module_path, "no type library (no resource TYPELIB 1)");
  return out;
}

#else

std::vector<uint8_t> FindEmbeddedTypeLib(const std::string& module_path) {
  std::ifstream in(module_path, std::ios::binary);
  if (!in) Fail(module_path, "cannot open the module file");
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
  if (in.bad()) Fail(module_path, "cannot read the module file");
  if (file.size() >= 4 && std::memcmp(file.data(), "MSFT", 4) == 0) return file;
  if (file.size() < EI_NIDENT || std::memcmp(file.data(), ELFMAG, SELFMAG) != 0) {
    Fail(module_path, "neither an ELF file nor a type library");
  }
  if (file[EI_DATA] != ELFDATA2LSB) Fail(module_path, "big-endian ELF file");
  if (file[EI_CLASS] == ELFCLASS64) return SectionOf<Elf64_Ehdr, Elf64_Shdr>(file, module_path);
  if (file[EI_CLASS] == ELFCLASS32) return SectionOf<Elf32_Ehdr, Elf32_Shdr>(file, module_path);
  Fail(module_path, "unknown ELF class");
}

#endif  // _WIN32

TypeLibrary LoadTypeLibFromModule(const std::string& module_path) {
  const std::vector<uint8_t> blob = FindEmbeddedTypeLib(module_path);
  try {
    return TypeLibrary::Load(blob.data(), blob.size());
  } catch (const TypeLibError& e) {
    Fail(module_path, e.what());
  }
}

}  // namespace lkrva::typelib
