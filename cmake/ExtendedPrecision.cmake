# The trajectory formulas carry their intermediate values in 80-bit extended
# precision. On x86 that is `long double`; where `long double` is no wider
# than `double` the numbers would silently change, so refuse to build.
include(CheckTypeSize)
check_type_size("long double" LKRVA_SIZEOF_LONG_DOUBLE LANGUAGE CXX)
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
  #include <limits>
  static_assert(std::numeric_limits<long double>::digits >= 64);
  int main() { return 0; }" LKRVA_LONG_DOUBLE_IS_EXTENDED)
if(NOT LKRVA_LONG_DOUBLE_IS_EXTENDED)
  message(FATAL_ERROR
    "long double has fewer than 64 mantissa bits on this target "
    "(sizeof ${LKRVA_SIZEOF_LONG_DOUBLE}); LKRVA needs 80-bit extended precision.")
endif()
