# The show's facts that the scripts, the package rules and the page need as
# well, read from facts/, where each is written once: the package's name and
# version in facts/package.sh, the rest in the C++ headers. A file that no
# longer says a fact in the expected words stops the configuration rather than
# leaving a stale copy somewhere. Included before project(), which takes the
# version from here.
#
# Sets DEMO_PACKAGE, DEMO_VERSION, DEMO_PICTURE_WIDTH, DEMO_PICTURE_HEIGHT,
# DEMO_BAND_TOP, DEMO_BAND_BOTTOM, DEMO_PICTURE_COUNT, DEMO_PICTURE_FILES
# (01.raw ...), DEMO_MODULE_FILE, DEMO_MAX_MODULE_BYTES (an expression C++
# and JavaScript both read), DEMO_ICON_PICTURE, the same as JavaScript
# literals for the page's template (web/show_facts.js.in), and writes
# show_facts.sh in the build folder for the shell scripts.

# A change to a header the facts come from configures the build again.
function(demo_fact_header header)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${header})
endfunction()

# ${variable} = the first group of `pattern` on a line of `header`.
function(demo_read_fact variable header pattern)
  demo_fact_header(${header})
  file(STRINGS ${CMAKE_SOURCE_DIR}/${header} lines REGEX "${pattern}")
  if(NOT lines MATCHES "${pattern}")
    message(FATAL_ERROR "${header} no longer matches \"${pattern}\": update cmake/show_facts.cmake")
  endif()
  set(${variable} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

demo_read_fact(DEMO_PACKAGE facts/package.sh "^package=([a-z0-9-]+)$")
demo_read_fact(DEMO_VERSION facts/package.sh "^version=([0-9]+\\.[0-9]+\\.[0-9]+)$")
demo_read_fact(DEMO_PICTURE_WIDTH facts/picture.h "constexpr int PictureWidth = ([0-9]+)")
demo_read_fact(DEMO_PICTURE_HEIGHT facts/picture.h "constexpr int PictureHeight = ([0-9]+)")
demo_read_fact(DEMO_BAND_TOP facts/picture.h "constexpr int BandTop = ([0-9]+)")
demo_read_fact(DEMO_BAND_BOTTOM facts/picture.h "constexpr int BandBottom = ([0-9]+)")
demo_read_fact(DEMO_PICTURE_COUNT facts/content.h "constexpr int ImageCount = ([0-9]+)")
demo_read_fact(DEMO_MODULE_FILE facts/content.h "constexpr char ModuleFileName\\[\\] = \"([^\"]+)\"")
demo_read_fact(DEMO_MAX_MODULE_BYTES facts/content.h "constexpr uint64_t MaxModuleBytes = ([0-9]+ << [0-9]+)")

# PictureFileName's format, a zero-padded number and a suffix.
demo_read_fact(name_format facts/content.h "snprintf\\(name, sizeof name, \"([^\"]+)\", number\\)")
if(NOT name_format MATCHES "^%0([1-9])d([^%]*)$")
  message(FATAL_ERROR "PictureFileName's format ${name_format} is not %0Nd and a suffix: update cmake/show_facts.cmake")
endif()
set(digits ${CMAKE_MATCH_1})
set(suffix ${CMAKE_MATCH_2})
set(DEMO_PICTURE_FILES)
foreach(number RANGE 1 ${DEMO_PICTURE_COUNT})
  string(LENGTH ${number} length)
  while(length LESS digits)
    string(PREPEND number 0)
    math(EXPR length "${length} + 1")
  endwhile()
  list(APPEND DEMO_PICTURE_FILES ${number}${suffix})
endforeach()

# The installed icon and the page's home-screen icons show default picture 13
# (counted from 0 here), the sunflower: it reads at any size.
list(GET DEMO_PICTURE_FILES 12 DEMO_ICON_PICTURE)

# The same for the templates: shell words, JavaScript literals.
string(REPLACE ";" " " DEMO_PICTURE_FILES_WORDS "${DEMO_PICTURE_FILES}")
list(JOIN DEMO_PICTURE_FILES "', '" DEMO_PICTURE_FILES_JS)
set(DEMO_PICTURE_FILES_JS "'${DEMO_PICTURE_FILES_JS}'")
configure_file(${CMAKE_CURRENT_LIST_DIR}/show_facts.sh.in ${CMAKE_BINARY_DIR}/show_facts.sh @ONLY)
