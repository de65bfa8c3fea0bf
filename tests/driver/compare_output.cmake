# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the driver on SESSION and compares its standard output with EXPECTED.
execute_process(COMMAND ${DRIVER} ${SESSION} OUTPUT_VARIABLE out ERROR_VARIABLE err
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}: ${err}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "output differs.\n--- got:\n${out}--- expected:\n${expected}")
endif()
