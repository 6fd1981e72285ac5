# Driver of bench/responsiveness: the event loop's longest stall during a run from the window.
add_executable(tessaro-bench-responsiveness ${CMAKE_CURRENT_LIST_DIR}/responsiveness_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ui_bench_support.h)
target_link_libraries(tessaro-bench-responsiveness PRIVATE tessaro_ui)
tessaro_target_defaults(tessaro-bench-responsiveness)
