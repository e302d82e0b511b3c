# Makes a program's manual page from its own --help, so that the page lists
# what the program takes. Run at build time:
#   cmake -DPROGRAM=<built program> -DNAME=<name> -DVERSION=<version>
#         -DSUMMARY=<one line> [-DDESCRIPTION=<paragraph>] [-DSEE_ALSO=<page(1),...>]
#         -DOUT=<page.1> -P help-to-man.cmake
# writes OUT and OUT.gz (the installed form).
#
# The help's layout: "usage:" and the lines indented under it are the
# synopsis; an unindented line ending in ':' ("commands:", "options:") starts
# a section of that name; in a section, a line indented by two spaces is an
# entry ("--help  print this text", "demo DIR") and a line indented further
# continues the entry above it; other unindented lines are the description.
cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM NAME VERSION SUMMARY OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "help-to-man.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# Text made safe for roff: backslashes and hyphens escaped, a leading '.' or
# ''' kept from being read as a request.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# An entry: its first word bold (the option or command), the rest of its
# first line plain, a description after two spaces below it.
function(roff_entry out line)
  string(STRIP "${line}" line)
  set(description "")
  if(line MATCHES "^([^ ].*[^ ])  +([^ ].*)$")
    set(line "${CMAKE_MATCH_1}")
    set(description "${CMAKE_MATCH_2}")
  endif()
  string(REGEX MATCH "^[^ ]+" word "${line}")
  string(LENGTH "${word}" length)
  string(SUBSTRING "${line}" ${length} -1 rest)
  roff_text(word "${word}")
  roff_text(rest "${rest}")
  set(entry ".TP\n\\fB${word}\\fR${rest}\n")
  if(NOT description STREQUAL "")
    roff_text(description "${description}")
    string(APPEND entry "${description}\n")
  endif()
  set(${out} "${entry}" PARENT_SCOPE)
endfunction()

string(TOUPPER "${NAME}" title)
string(TIMESTAMP date "%Y-%m-%d" UTC)  # SOURCE_DATE_EPOCH, when set, fixes it
roff_text(summary "${SUMMARY}")
set(synopsis "")
set(description "")
set(sections "")
set(where "description")

string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
foreach(line IN LISTS lines)
  set(call "")
  if(line MATCHES "^usage: +(.*)$")
    set(call "${CMAKE_MATCH_1}")
  elseif(where STREQUAL "synopsis" AND line MATCHES "^       +(.*)$")
    set(call "${CMAKE_MATCH_1}")
  endif()
  if(NOT call STREQUAL "")
    set(where "synopsis")
    string(REGEX MATCH "^[^ ]+" program "${call}")
    string(LENGTH "${program}" length)
    string(SUBSTRING "${call}" ${length} -1 call)
    roff_text(program "${program}")
    roff_text(call "${call}")
    string(APPEND synopsis "\\fB${program}\\fR${call}\n.br\n")
  elseif(line STREQUAL "")
    if(where STREQUAL "description" AND NOT description STREQUAL "")
      string(APPEND description ".PP\n")
    elseif(where STREQUAL "synopsis")
      set(where "description")
    endif()
  elseif(line MATCHES "^([^ ].*):$")
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(APPEND sections ".SH ${heading}\n")
    set(where "section")
  elseif(where STREQUAL "section" AND line MATCHES "^  [^ ]")
    roff_entry(entry "${line}")
    string(APPEND sections "${entry}")
  elseif(where STREQUAL "section" AND line MATCHES "^   +(.*)$")
    roff_text(text "${CMAKE_MATCH_1}")
    string(APPEND sections "${text}\n")
  else()
    string(STRIP "${line}" line)
    roff_text(text "${line}")
    if(where STREQUAL "section")
      string(APPEND sections ".PP\n${text}\n")
    else()
      string(APPEND description "${text}\n")
      set(where "description")
    endif()
  endif()
endforeach()
string(REGEX REPLACE "\\.PP\n$" "" description "${description}")
if(description STREQUAL "" AND DEFINED DESCRIPTION)
  roff_text(description "${DESCRIPTION}")
  set(description "${description}\n")
endif()

set(page ".TH ${title} 1 \"${date}\" \"Ketral ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${NAME} \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS\n${synopsis}")
if(NOT description STREQUAL "")
  string(APPEND page ".SH DESCRIPTION\n${description}")
endif()
string(APPEND page "${sections}")
if(DEFINED SEE_ALSO)
  string(REGEX REPLACE "([^,]+)\\(([0-9])\\)" "\\\\fB\\1\\\\fR(\\2)" see_also "${SEE_ALSO}")
  string(REPLACE "-" "\\-" see_also "${see_also}")
  string(REPLACE "," ", " see_also "${see_also}")
  string(APPEND page ".SH SEE ALSO\n${see_also}\n")
endif()
string(APPEND page ".SH COPYRIGHT\nCopyright (c) 2026 the Ketral authors. Released under the MIT licence.\n")

file(WRITE "${OUT}" "${page}")
# The installed page is compressed, as Debian's policy has it; -n leaves
# the name and time out, so that equal pages give equal files.
execute_process(COMMAND gzip -9nf -k "${OUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip ${OUT} failed")
endif()
