# Compiler flags shared by every target of the project.
#
# Floating point is kept honest: no fast-math, and no contraction of a*b+c
# into one fused operation, because the trajectory formulas are defined by
# their order of evaluation and users compare the digits they produce.
add_library(lkrva_flags INTERFACE)
target_compile_options(lkrva_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -ffp-contract=off -fno-math-errno)
if(LKRVA_WERROR)
  target_compile_options(lkrva_flags INTERFACE -Werror)
endif()
if(LKRVA_SANITIZE)
  target_compile_options(lkrva_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(lkrva_flags INTERFACE -fsanitize=address,undefined)
endif()
