# A full PLU download (3334 records) through the core to one simulated
# terminal, against the library's own round-trip rate in the same run.
if(TARGET orlent_test_support)
  set(download_bench_file ${CMAKE_CURRENT_BINARY_DIR}/PLU-download-bench.txt)
  add_custom_command(OUTPUT ${download_bench_file}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-plu-file 3334 ${download_bench_file}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-plu-file
    COMMENT "Writing the PLU file of the download benchmark")
  add_custom_target(download_bench_file DEPENDS ${download_bench_file})

  add_executable(download_bench ${CMAKE_CURRENT_LIST_DIR}/download_bench.cpp)
  target_link_libraries(download_bench PRIVATE orlent_test_support termsim_process)
  target_compile_definitions(download_bench PRIVATE
    DOWNLOAD_BENCH_FILE="${download_bench_file}"
    TERMLINK_PATH="$<TARGET_FILE:termlink>")
  add_dependencies(download_bench download_bench_file termlink orlent-termsim)
endif()
