# Driver of bench/batch: test image generator and a command-line front end of BatchRun.
add_executable(tessaro-bench-batch
  ${CMAKE_CURRENT_LIST_DIR}/batch_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/batch_images.cpp ${CMAKE_CURRENT_LIST_DIR}/batch_images.h)
target_link_libraries(tessaro-bench-batch PRIVATE tessaro_engine Qt6::Core Qt6::Gui)
tessaro_target_defaults(tessaro-bench-batch)
