# The release notes live in CHANGELOG.md, for people; from it the build makes the Debian
# changelog and the AppStream <releases>, so that a version is written down once. Its newest
# version must be the project's.
#
# In:  QV_VERSION, QV_MAINTAINER.
# Out: QV_RELEASE_DATE (the newest release's date, YYYY-MM-DD), QV_APPSTREAM_RELEASES (the
#      <release> elements) and the file generated/changelog in Debian's format.

set(qv_changelog_md ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qv_changelog_md})

# qv_debian_date(<YYYY-MM-DD> <minute> <out>): the date as the Debian changelog writes it, at
# the given minute after midnight UTC, e.g. "Tue, 08 Dec 2026 00:01:00 +0000".
function(qv_debian_date iso minute out)
  if(NOT iso MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "CHANGELOG.md: '${iso}' is not a date of the form YYYY-MM-DD")
  endif()
  set(y ${CMAKE_MATCH_1})
  set(dd ${CMAKE_MATCH_3})
  string(REGEX REPLACE "^0" "" m "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "^0" "" d "${dd}")
  if(m LESS 1 OR m GREATER 12 OR d LESS 1 OR d GREATER 31)
    message(FATAL_ERROR "CHANGELOG.md: '${iso}' is not a date")
  endif()
  # The day of the week by Sakamoto's method (0 is Sunday).
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR i "${m} - 1")
  list(GET offsets ${i} offset)
  set(yy ${y})
  if(m LESS 3)
    math(EXPR yy "${y} - 1")
  endif()
  math(EXPR dow "(${yy} + ${yy} / 4 - ${yy} / 100 + ${yy} / 400 + ${offset} + ${d}) % 7")
  set(days Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET days ${dow} day)
  list(GET months ${i} month)
  math(EXPR hh "${minute} / 60" OUTPUT_FORMAT DECIMAL)
  math(EXPR mm "${minute} % 60")
  foreach(part hh mm)
    if(${part} LESS 10)
      set(${part} 0${${part}})
    endif()
  endforeach()
  set(${out} "${day}, ${dd} ${month} ${y} ${hh}:${mm}:00 +0000" PARENT_SCOPE)
endfunction()

# Reading: a heading "## X.Y.Z (YYYY-MM-DD)" per release, newest first; under it one line of
# notes, then its points ("- " and lines indented by two spaces).
file(STRINGS ${qv_changelog_md} qv_lines ENCODING UTF-8)
set(qv_versions "")
set(qv_version "")
foreach(qv_line IN LISTS qv_lines)
  if(qv_line MATCHES "^## ")
    if(NOT qv_line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) \\(([^)]*)\\)$")
      message(FATAL_ERROR "CHANGELOG.md: the heading '${qv_line}' is not '## X.Y.Z (YYYY-MM-DD)'")
    endif()
    set(qv_version ${CMAKE_MATCH_1})
    set(qv_date_${qv_version} ${CMAKE_MATCH_2})
    if(qv_versions)
      list(GET qv_versions -1 qv_newer)
      if(NOT qv_newer VERSION_GREATER qv_version)
        message(FATAL_ERROR "CHANGELOG.md: ${qv_version} comes after ${qv_newer}; newest first")
      endif()
      if(qv_date_${qv_newer} STRLESS qv_date_${qv_version})
        message(FATAL_ERROR "CHANGELOG.md: ${qv_newer} is dated before ${qv_version}")
      endif()
    endif()
    list(APPEND qv_versions ${qv_version})
    set(qv_note_${qv_version} "")
    set(qv_points_${qv_version} "")
  elseif(qv_version STREQUAL "" OR qv_line STREQUAL "")
    # The preamble, and blank lines.
  elseif(qv_line MATCHES "^- ."
         OR (NOT qv_points_${qv_version} STREQUAL "" AND qv_line MATCHES "^  [^ ]"))
    # A point, or a point's next line; Debian's changelog shows them as plain text.
    string(REPLACE "`" "" qv_text "${qv_line}")
    string(REGEX REPLACE "^- " "  * " qv_text "${qv_text}")
    string(REGEX REPLACE "^  ([^ *])" "    \\1" qv_text "${qv_text}")
    string(LENGTH "${qv_text}" qv_length)
    if(qv_length GREATER 80)
      message(FATAL_ERROR "CHANGELOG.md: under ${qv_version}, a line longer than 76 characters: "
                          "'${qv_line}'")
    endif()
    string(APPEND qv_points_${qv_version} "${qv_text}\n")
  elseif(qv_note_${qv_version} STREQUAL "" AND qv_points_${qv_version} STREQUAL "")
    set(qv_note_${qv_version} "${qv_line}")
  else()
    message(FATAL_ERROR "CHANGELOG.md: under ${qv_version}, '${qv_line}' is neither the line of "
                        "notes nor a point ('- ' and lines indented by two spaces)")
  endif()
endforeach()

if(NOT qv_versions)
  message(FATAL_ERROR "CHANGELOG.md has no release ('## X.Y.Z (YYYY-MM-DD)')")
endif()
list(GET qv_versions 0 qv_newest)
if(NOT qv_newest STREQUAL QV_VERSION)
  message(FATAL_ERROR "CHANGELOG.md's newest release is ${qv_newest}, but the project's version "
                      "is ${QV_VERSION}: write what ${QV_VERSION} brings at the top of CHANGELOG.md")
endif()
set(QV_RELEASE_DATE ${qv_date_${qv_newest}})

# Writing. Debian wants every entry dated later than the one before it, so releases of one day
# are a minute apart, in the order they came.
set(qv_debian_changelog "")
set(QV_APPSTREAM_RELEASES "")
list(LENGTH qv_versions qv_count)
math(EXPR qv_last "${qv_count} - 1")
foreach(qv_i RANGE ${qv_last})
  list(GET qv_versions ${qv_i} qv_version)
  set(qv_date ${qv_date_${qv_version}})
  set(qv_note "${qv_note_${qv_version}}")
  set(qv_points "${qv_points_${qv_version}}")
  if(qv_note STREQUAL "")
    message(FATAL_ERROR "CHANGELOG.md: ${qv_version} has no line of notes under its heading")
  endif()
  if(qv_points STREQUAL "")
    set(qv_points "  * ${qv_note}\n")
  endif()
  set(qv_minute 0)
  foreach(qv_older IN LISTS qv_versions)
    if(qv_older VERSION_LESS qv_version AND qv_date_${qv_older} STREQUAL qv_date)
      math(EXPR qv_minute "${qv_minute} + 1")
    endif()
  endforeach()
  qv_debian_date(${qv_date} ${qv_minute} qv_when)
  if(NOT qv_debian_changelog STREQUAL "")
    string(APPEND qv_debian_changelog "\n")
  endif()
  string(APPEND qv_debian_changelog
         "quorvatide (${qv_version}) unstable; urgency=medium\n\n${qv_points}\n"
         " -- ${QV_MAINTAINER}  ${qv_when}\n")
  string(REPLACE "&" "&amp;" qv_xml "${qv_note}")
  string(REPLACE "<" "&lt;" qv_xml "${qv_xml}")
  string(REPLACE ">" "&gt;" qv_xml "${qv_xml}")
  string(APPEND QV_APPSTREAM_RELEASES
         "    <release version=\"${qv_version}\" date=\"${qv_date}\">\n"
         "      <description>\n        <p>${qv_xml}</p>\n      </description>\n"
         "    </release>\n")
endforeach()

# Written only when it changes, so that a new configure does not compress it again.
file(WRITE ${CMAKE_BINARY_DIR}/generated/changelog.new "${qv_debian_changelog}")
configure_file(${CMAKE_BINARY_DIR}/generated/changelog.new ${CMAKE_BINARY_DIR}/generated/changelog
               COPYONLY)
