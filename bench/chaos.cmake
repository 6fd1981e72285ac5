# The fault harness, short and with a fixed seed: twelve iterations take every fault kind at
# least once (the tmpfs ones only where mount works; the harness says so otherwise).
if(TARGET tessaro-convert)
  add_test(NAME chaos COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/chaos 12 20260
                              --binary $<TARGET_FILE:tessaro-convert>)
  set_tests_properties(chaos PROPERTIES TIMEOUT 300)
endif()
