# link_bench: round trips of a PLU write and acknowledgment through
# libtermlink.so and orlent-termsim, beside a plain TCP ping-pong of the same
# frame sizes on loopback, and their ratio.
find_package(Threads REQUIRED)
add_executable(link_bench
  ${CMAKE_CURRENT_LIST_DIR}/link_bench.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/simulator_process.cpp)
target_include_directories(link_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(link_bench PRIVATE termlink termlink_wire Threads::Threads)
target_compile_definitions(link_bench PRIVATE
  ORLENT_TERMSIM_PATH="$<TARGET_FILE:orlent-termsim>")
add_dependencies(link_bench orlent-termsim)
