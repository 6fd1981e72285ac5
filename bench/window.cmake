# Driver of bench/window: the full list with thumbnails, scrolled, and a run from it.
add_executable(tessaro-bench-window ${CMAKE_CURRENT_LIST_DIR}/window_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_bench_support.h)
target_link_libraries(tessaro-bench-window PRIVATE tessaro_ui)
tessaro_target_defaults(tessaro-bench-window)
