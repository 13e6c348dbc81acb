# modbus_bench: a libmodbus client reading 125 holding registers in a loop from
# a libmodbus server on loopback, a well-known request-and-answer protocol on
# the same TCP, as a yardstick beside the link. libmodbus-dev is a
# benchmark-only dependency that bench/run installs; without it the target is
# left out.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBMODBUS QUIET IMPORTED_TARGET libmodbus)
endif()
if(TARGET PkgConfig::LIBMODBUS)
  add_executable(modbus_bench ${CMAKE_CURRENT_LIST_DIR}/modbus_bench.cpp)
  target_link_libraries(modbus_bench PRIVATE PkgConfig::LIBMODBUS)
else()
  message(STATUS "libmodbus not found: modbus_bench is left out (bench/run installs libmodbus-dev)")
endif()
