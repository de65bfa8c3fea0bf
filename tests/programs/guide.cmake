# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the worked examples of a guide (GUIDE) through the driver (PROGRAM) and
# checks that the guide quotes what the program prints. A worked example is a
# fenced block of info string "quenlor" (a session) followed by one of info
# string "output" (what the driver prints for it). The sessions of a guide
# run as one, in order, from the source tree (SOURCE_DIR), as a reader
# following the guide would type them; a mismatch names the first example
# whose output differs. A decimal number or chainage quoted in the guide's
# text must stand in one of its examples too, so the text cannot drift from
# them either. With SAME_AS (a guide in another language), the sessions of
# both must be the same, comments aside.
# CMake's lists split at semicolons: they stand in the text as a word of their
# own until a session or its output leaves for the program or a comparison.
file(READ ${GUIDE} text)
set(semicolon "@semicolon@")
string(REPLACE ";" "${semicolon}" text "${text}")
set(fence "```")
string(REGEX MATCHALL "${fence}quenlor\n[^`]*${fence}\n\n?${fence}output\n[^`]*${fence}" pairs
       "${text}")
string(REGEX MATCHALL "${fence}quenlor\n" sessions "${text}")
list(LENGTH pairs count)
list(LENGTH sessions all)
if(count EQUAL 0 OR NOT count EQUAL all)
  message(FATAL_ERROR "${GUIDE}: ${all} sessions, ${count} of them followed by their output")
endif()

set(session "")
set(expected "")
set(examples "")
set(number 0)
foreach(pair IN LISTS pairs)
  math(EXPR number "${number} + 1")
  string(REGEX REPLACE "^${fence}quenlor\n([^`]*)${fence}\n\n?${fence}output\n([^`]*)${fence}$" "\\1"
                       script "${pair}")
  string(REGEX REPLACE "^${fence}quenlor\n([^`]*)${fence}\n\n?${fence}output\n([^`]*)${fence}$" "\\2"
                       output "${pair}")
  string(APPEND session "${script}")
  string(APPEND expected "${output}")
  string(APPEND examples "${script}${output}")
  string(REPLACE "${semicolon}" ";" written "${session}")
  file(WRITE ${WORK_DIR}/session.qs "${written}")
  execute_process(COMMAND ${PROGRAM} ${WORK_DIR}/session.qs WORKING_DIRECTORY ${SOURCE_DIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  string(REPLACE ";" "${semicolon}" out "${out}")
  if(NOT status EQUAL 0 OR NOT out STREQUAL expected)
    string(LENGTH "${expected}" whole)
    string(LENGTH "${output}" part)
    math(EXPR start "${whole} - ${part}")
    string(SUBSTRING "${out}" ${start} -1 got)
    message(FATAL_ERROR "${GUIDE}: worked example ${number} disagrees with the program "
                        "(exit status ${status}, ${err}).\n--- session:\n${script}"
                        "--- the program prints:\n${got}--- the guide says:\n${output}")
  endif()
endforeach()

function(sessions_of text result)
  string(REGEX MATCHALL "${fence}quenlor\n[^`]*${fence}" blocks "${text}")
  string(REGEX REPLACE "\n#[^\n]*" "" blocks "${blocks}")
  set(${result} "${blocks}" PARENT_SCOPE)
endfunction()
if(SAME_AS)
  file(READ ${SAME_AS} other)
  string(REPLACE ";" "${semicolon}" other "${other}")
  sessions_of("${text}" ours)
  sessions_of("${other}" theirs)
  if(NOT ours STREQUAL theirs)
    message(FATAL_ERROR "${GUIDE} and ${SAME_AS} differ in their worked examples")
  endif()
endif()

# The figures in the text: numbers with a decimal part, and chainages (K1+095.204
# is 1095.204), but not the seconds of an angle written out (20.55″). Each must
# be a number of the examples as it stands there or rounded to the figure's
# decimals.
function(rounds_to figure examples result)
  string(REGEX MATCH "^([0-9]+)\\.([0-9]+)$" parts "${figure}")
  set(whole ${CMAKE_MATCH_1})
  set(decimals ${CMAKE_MATCH_2})
  string(LENGTH "${decimals}" places)
  string(REGEX REPLACE "^0+([0-9])" "\\1" wanted "${whole}${decimals}")
  string(REGEX MATCHALL "(^|[^0-9])${whole}\\.[0-9]+" candidates "${examples}")
  foreach(candidate IN LISTS candidates)
    string(REGEX REPLACE "^[^0-9]" "" candidate "${candidate}")
    string(REGEX MATCH "\\.([0-9]+)$" fraction "${candidate}")
    set(fraction "${CMAKE_MATCH_1}000000000000000000")
    string(SUBSTRING "${fraction}" 0 ${places} kept)
    string(SUBSTRING "${fraction}" ${places} 1 next)
    string(REGEX REPLACE "^0+([0-9])" "\\1" value "${whole}${kept}")
    if(next GREATER_EQUAL 5)
      math(EXPR value "${value} + 1")
    endif()
    if(value EQUAL wanted)
      set(${result} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} FALSE PARENT_SCOPE)
endfunction()

string(REGEX REPLACE "${fence}[a-z]*\n[^`]*${fence}" "" prose "${text}")
string(REGEX MATCHALL "K[0-9]+\\+[0-9]+\\.[0-9]+|[0-9]+\\.[0-9][0-9]+(″)?" figures "${prose}")
list(FILTER figures EXCLUDE REGEX "″$")
foreach(figure IN LISTS figures)
  string(REGEX REPLACE "^K([0-9]+)\\+" "\\1" number "${figure}")
  string(REGEX REPLACE "^0+([0-9])" "\\1" number "${number}")
  rounds_to(${number} "${examples}" found)
  if(NOT found)
    message(FATAL_ERROR "${GUIDE}: the figure ${figure} in the text is in no worked example")
  endif()
endforeach()
list(LENGTH figures quoted)
message(STATUS "${GUIDE}: ${count} worked examples and ${quoted} figures in the text agree")
