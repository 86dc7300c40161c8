# The table and plot subcommands (import, export, plot) as a library the
# tool and the tests link. Included from src/cli/CMakeLists.txt.
add_library(lkrva_commands_ext STATIC
  ${CMAKE_CURRENT_LIST_DIR}/import_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_command.cpp)
target_include_directories(lkrva_commands_ext PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(lkrva_commands_ext
  PUBLIC lkrva_csv lkrva_data lkrva_plot lkrva_text lkrva_trajectory
  PRIVATE lkrva_flags)
