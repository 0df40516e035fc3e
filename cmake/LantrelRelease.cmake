# The release notes name the version and the day it was released: "## 1.1.0 (2026-12-08)" on
# top of NEWS.md. The date goes into the manual page and the software centre's releases; a
# version that disagrees with project() stops the configuration, so the notes cannot be
# forgotten when the number changes.
file(STRINGS "${PROJECT_SOURCE_DIR}/NEWS.md" lantrel_release_heading
     REGEX "^## [0-9]+\\.[0-9]+\\.[0-9]+ \\([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\\)$"
     LIMIT_COUNT 1)
if(NOT lantrel_release_heading MATCHES "^## ([0-9.]+) \\(([0-9]+)-([0-9]+)-([0-9]+)\\)$")
    message(FATAL_ERROR "NEWS.md has no release heading such as '## 1.1.0 (2026-12-08)'")
endif()
set(lantrel_release_version "${CMAKE_MATCH_1}")
set(lantrel_release_year "${CMAKE_MATCH_2}")
set(lantrel_release_month "${CMAKE_MATCH_3}")
set(LANTREL_RELEASE_DATE "${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
if(NOT lantrel_release_version VERSION_EQUAL PROJECT_VERSION)
    message(FATAL_ERROR "NEWS.md's latest release is ${lantrel_release_version}, "
                        "but the project's version is ${PROJECT_VERSION}")
endif()
# As manual pages date themselves: "December 2026".
set(lantrel_months January February March April May June July August September October
                   November December)
string(REGEX REPLACE "^0" "" lantrel_month_number "${lantrel_release_month}")
math(EXPR lantrel_month_index "${lantrel_month_number} - 1")
list(GET lantrel_months ${lantrel_month_index} lantrel_month_name)
set(LANTREL_RELEASE_MONTH "${lantrel_month_name} ${lantrel_release_year}")
