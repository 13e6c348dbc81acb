# Builds one manual page: the scdoc source with the project's version filled
# in, turned into roff by scdoc and compressed as Debian keeps manual pages
# (gzip -9n: no file name, no time stamp). A failure leaves no page behind.
#   cmake -DSCDOC=... -DVERSION=... -DSOURCE=page.1.scd -DPAGE=page.1.gz -P build_page.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${SOURCE} text)
string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
file(WRITE ${PAGE}.scd "${text}")
execute_process(COMMAND ${SCDOC} INPUT_FILE ${PAGE}.scd
                OUTPUT_VARIABLE roff ERROR_VARIABLE errors RESULT_VARIABLE result)
file(REMOVE ${PAGE}.scd)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: ${errors}")
endif()
# scdoc turns hyphenation off before .TH, which turns it on again: off after
# it, so that no path, option or address is broken at a made-up hyphen.
string(REGEX REPLACE "(\n\\.TH [^\n]*\n)" "\\1.nh\n" roff "${roff}")
file(WRITE ${PAGE}.roff "${roff}")
execute_process(COMMAND gzip -9n -c INPUT_FILE ${PAGE}.roff OUTPUT_FILE ${PAGE}.tmp
                RESULT_VARIABLE result)
file(REMOVE ${PAGE}.roff)
if(NOT result EQUAL 0)
  file(REMOVE ${PAGE}.tmp)
  message(FATAL_ERROR "${PAGE}: gzip failed")
endif()
file(RENAME ${PAGE}.tmp ${PAGE})
