# Load and save of a settings file of about 10 MB, as a damaged or very long
# terminal list can make it.
add_executable(settings_bench ${CMAKE_CURRENT_LIST_DIR}/settings_bench.cpp)
target_link_libraries(settings_bench PRIVATE orlent_core benchmark::benchmark)
