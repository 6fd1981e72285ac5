# Driver of bench/intake: a folder of small images dropped on the window's drop view.
add_executable(tessaro-bench-intake ${CMAKE_CURRENT_LIST_DIR}/intake_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_bench_support.h)
target_link_libraries(tessaro-bench-intake PRIVATE tessaro_ui)
tessaro_target_defaults(tessaro-bench-intake)
