# Parse throughput of a full PLU download file (3334 made-up items, written by
# scripts/make-plu-file) against plain line reading of the same file.
set(parse_bench_file ${CMAKE_CURRENT_BINARY_DIR}/PLU-bench.txt)
add_custom_command(OUTPUT ${parse_bench_file}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-plu-file 3334 ${parse_bench_file}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-plu-file
  COMMENT "Writing the PLU file of the parse benchmark")
add_custom_target(parse_bench_file DEPENDS ${parse_bench_file})

add_executable(parse_bench ${CMAKE_CURRENT_LIST_DIR}/parse_bench.cpp)
target_link_libraries(parse_bench PRIVATE orlent_core benchmark::benchmark)
target_compile_definitions(parse_bench PRIVATE PARSE_BENCH_FILE="${parse_bench_file}")
add_dependencies(parse_bench parse_bench_file)
