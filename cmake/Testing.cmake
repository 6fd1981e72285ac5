# tessaro_add_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>]
#                  [WRAPPER <command...>] [ARGS <arguments...>])
# One QTest executable = one CTest test. Each test gets its own settings and data homes under
# the build tree, so tests never touch the user's real settings and never see each other's.
function(tessaro_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;WRAPPER;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  tessaro_target_defaults(${name})
  set(home ${CMAKE_BINARY_DIR}/test-homes/${name})
  add_test(NAME ${name} COMMAND ${T_WRAPPER} $<TARGET_FILE:${name}> ${T_ARGS})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 240)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;XDG_CACHE_HOME=${home}/cache;XDG_RUNTIME_DIR=${home}/runtime;HOME=${home}/home")
  file(MAKE_DIRECTORY ${home}/config ${home}/data ${home}/cache ${home}/runtime ${home}/home)
  file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
