# SPDX-License-Identifier: GPL-3.0-or-later
# Started where there is no display, the program says so in one line on
# standard error and exits non-zero, without a toolkit crash message.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM ${PROGRAM}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(status EQUAL 0)
  message(FATAL_ERROR "exit status 0 without a display")
endif()
if(NOT err MATCHES "^quenlor: no display[^\n]*\n$")
  message(FATAL_ERROR "unexpected message: ${err}")
endif()
