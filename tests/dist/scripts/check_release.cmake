# cmake -DMETAINFO=... -DVERSION=... -P check_release.cmake: the newest release of the AppStream
# data is the project's version.
file(READ "${METAINFO}" metainfo)
string(REGEX MATCH "<release version=\"([^\"]+)\"" release "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the newest release in ${METAINFO} is \"${CMAKE_MATCH_1}\", the project is ${VERSION}")
endif()
