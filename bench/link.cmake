# link_bench: round trips of a PLU write and acknowledgment through
# libtermlink.so and orlent-termsim, beside a plain TCP ping-pong of the same
# frame sizes on loopback, and their ratio.
find_package(Threads REQUIRED)
add_executable(link_bench ${CMAKE_CURRENT_LIST_DIR}/link_bench.cpp)
target_link_libraries(link_bench PRIVATE termlink termlink_wire termsim_process Threads::Threads)
add_dependencies(link_bench orlent-termsim)
