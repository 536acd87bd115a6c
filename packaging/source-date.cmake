# SPDX-License-Identifier: GPL-3.0-or-later
# The build's date: the time of the newest entry of packaging/changelog, or
# SOURCE_DATE_EPOCH when the environment gives one at configure time. Wherever
# a date would be written into what is built (the file times kept in the
# program's resources, the file times in the package) this one is written
# instead of the clock's, so that the same sources build the same program and
# the same package whenever and wherever they are built.
#
# Sets ZRNV_SOURCE_DATE_EPOCH (seconds since 1970-01-01 00:00 UTC).

function(zrnv_source_date_epoch result)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
      message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a whole number of seconds, "
                          "not \"$ENV{SOURCE_DATE_EPOCH}\"")
    endif()
    set(${result} $ENV{SOURCE_DATE_EPOCH} PARENT_SCOPE)
    return()
  endif()

  # The entry's trailer: " -- Name <mail>  Wed, 09 Dec 2026 12:00:00 +0000".
  set(changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
  file(STRINGS ${changelog} trailer REGEX "^ -- " LIMIT_COUNT 1)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  if(NOT trailer MATCHES
     ">  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ([0-9][0-9]):([0-9][0-9]):([0-9][0-9]) ([+-])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "${changelog}: the first entry's trailer has no date of the form "
                        "\"Wed, 09 Dec 2026 12:00:00 +0000\": \"${trailer}\"")
  endif()
  set(month_name ${CMAKE_MATCH_2})
  set(year ${CMAKE_MATCH_3})
  set(sign ${CMAKE_MATCH_7})
  set(fields day ${CMAKE_MATCH_1} hour ${CMAKE_MATCH_4} minute ${CMAKE_MATCH_5}
      second ${CMAKE_MATCH_6} offset_hours ${CMAKE_MATCH_8} offset_minutes ${CMAKE_MATCH_9})
  # Without their leading zeros, which would make math() read octal.
  while(fields)
    list(POP_FRONT fields name value)
    string(REGEX REPLACE "^0+([0-9])" "\\1" ${name} "${value}")
  endwhile()
  list(FIND months ${month_name} month)
  if(month LESS 0)
    message(FATAL_ERROR "${changelog}: \"${month_name}\" is not a month")
  endif()

  # Days since 1970-01-01 of a date of the proleptic Gregorian calendar, with
  # the year counted from March so that the leap day comes last.
  math(EXPR month "${month} + 1")
  if(month LESS_EQUAL 2)
    math(EXPR y "${year} - 1")
    math(EXPR m "${month} + 9")
  else()
    set(y ${year})
    math(EXPR m "${month} - 3")
  endif()
  math(EXPR era "${y} / 400")
  math(EXPR year_of_era "${y} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${m} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era
       "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  math(EXPR epoch
       "${days} * 86400 + ${hour} * 3600 + ${minute} * 60 + ${second} - (${sign}1) * (${offset_hours} * 3600 + ${offset_minutes} * 60)")
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()

zrnv_source_date_epoch(ZRNV_SOURCE_DATE_EPOCH)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
