# lkrva register / unregister, and lkrva table finding KRVA through the registry.
# Every test has a registry file of its own under the build tree (LKRVA_REGISTRY).
set(REG_DIR ${CMAKE_CURRENT_BINARY_DIR}/registries)
file(MAKE_DIRECTORY ${REG_DIR})

# When KRVA is registered, `lkrva table` creates it by activation: a registration naming a
# library that is not there is reported with CO_E_DLLNOTFOUND, not bypassed.
add_test(NAME cli.table.registered_class_is_activated
  COMMAND sh -c "cp \"$1\" \"$2\" && \"$0\" table --connection x --table t --declination 0 2>&1; test $? -ne 0"
          ${LKRVA} ${FIXTURES}/registered-elsewhere.reg ${REG_DIR}/elsewhere.reg)
set_tests_properties(cli.table.registered_class_is_activated PROPERTIES
  ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/elsewhere.reg"
  PASS_REGULAR_EXPRESSION "LKRVA.KRVA is registered but cannot be created \\(0x800401F8\\)")

# Without a registration the built library serves the run (which then fails
# on a connection string that names no database, as the server tells).
add_test(NAME cli.table.unregistered_class_uses_the_built_library
  COMMAND sh -c "rm -f \"$1\"; \"$0\" table --connection x --table t --declination 0 2>&1" ${LKRVA} ${REG_DIR}/none.reg)
set_tests_properties(cli.table.unregistered_class_uses_the_built_library PROPERTIES
  ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/none.reg" PASS_REGULAR_EXPRESSION "错误: 计算失败：")

# The subcommands themselves, once main.cpp offers them.
file(READ ${PROJECT_SOURCE_DIR}/src/cli/main.cpp LKRVA_CLI_MAIN)
if(LKRVA_CLI_MAIN MATCHES "RunRegister")
  set(REG ${REG_DIR}/register.reg)
  set(LIB $<TARGET_FILE:lkrva_server>)
  # register: exit 0, the report, and the class then created through the registry.
  add_test(NAME cli.register.reports_what_it_wrote
    COMMAND sh -c "rm -f \"$1\"; \"$0\" register --module \"$2\" && \"$0\" register --module \"$2\""
            ${LKRVA} ${REG} ${LIB})
  set_tests_properties(cli.register.reports_what_it_wrote PROPERTIES
    ENVIRONMENT "LKRVA_REGISTRY=${REG}"
    PASS_REGULAR_EXPRESSION "registered LKRVA.KRVA → /[^\n]*liblkrva.so in ${REG}\n")
  add_test(NAME cli.register.then_table_runs_through_the_registry
    COMMAND sh -c "rm -f \"$1\"; \"$0\" register --module \"$2\" >/dev/null && \"$0\" table --connection x --table t --declination 0 2>&1 | grep -q 计算失败 && grep -q liblkrva.so \"$1\""
            ${LKRVA} ${REG_DIR}/then-table.reg ${LIB})
  set_tests_properties(cli.register.then_table_runs_through_the_registry PROPERTIES
    ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/then-table.reg")
  # unregister: exit 0 twice, also with nothing registered.
  add_test(NAME cli.unregister.twice_succeeds
    COMMAND sh -c "rm -f \"$1\"; \"$0\" unregister --module \"$2\" && \"$0\" unregister --module \"$2\""
            ${LKRVA} ${REG_DIR}/unregister.reg ${LIB})
  set_tests_properties(cli.unregister.twice_succeeds PROPERTIES
    ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/unregister.reg"
    PASS_REGULAR_EXPRESSION "unregistered LKRVA.KRVA \\(/[^\n]*liblkrva.so\\) from ")
  # Failures: exit 1 with a message.
  add_test(NAME cli.register.missing_module_exits_1
    COMMAND sh -c "\"$0\" register --module /nonexistent/liblkrva.so; test $? -eq 1" ${LKRVA})
  set_tests_properties(cli.register.missing_module_exits_1 PROPERTIES
    ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/missing.reg"
    PASS_REGULAR_EXPRESSION "no library at /nonexistent/liblkrva.so")
  add_test(NAME cli.register.damaged_registry_exits_1
    COMMAND sh -c "printf 'REGEDIT4\\n[HKEY_CLASSES_ROOT\\\\x\\n' > \"$1\"; \"$0\" register --module \"$2\"; test $? -eq 1"
            ${LKRVA} ${REG_DIR}/damaged.reg ${LIB})
  set_tests_properties(cli.register.damaged_registry_exits_1 PROPERTIES
    ENVIRONMENT "LKRVA_REGISTRY=${REG_DIR}/damaged.reg"
    PASS_REGULAR_EXPRESSION "DllRegisterServer of [^\n]*liblkrva.so failed \\(0x80004005\\)")
endif()
