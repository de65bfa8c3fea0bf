# SPDX-License-Identifier: GPL-3.0-or-later
# The driver stops at the bad third line with status 2, after running the two
# lines before it, and names the line on standard error.
execute_process(COMMAND ${DRIVER} ${SESSION} OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "expected exit status 2, got ${status}")
endif()
if(NOT out STREQUAL "Text9=500\n")
  message(FATAL_ERROR "unexpected output: ${out}")
endif()
if(NOT err MATCHES "^line 3: unknown box 'Text43'")
  message(FATAL_ERROR "unexpected message: ${err}")
endif()
