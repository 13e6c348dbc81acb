# The window's send cycle, unattended under the offscreen platform, for
# bench/run to time against the command line.
if(TARGET orlent_window)
  add_executable(window_send_bench ${CMAKE_CURRENT_LIST_DIR}/window_send_bench.cpp)
  target_link_libraries(window_send_bench PRIVATE orlent_window)
  target_compile_definitions(window_send_bench PRIVATE TERMLINK_PATH="$<TARGET_FILE:termlink>")
  add_dependencies(window_send_bench termlink)
endif()
