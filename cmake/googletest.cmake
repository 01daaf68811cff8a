# GoogleTest is built from the sources Debian ships in /usr/src/googletest (package
# libgtest-dev), so the native, sanitized and Windows builds all use the same code,
# compiled with each build's own flags. Elsewhere (a Windows machine) an installed
# GoogleTest is used if there is one; without it only the program is built.
set(TARVO_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(TARVO_HAVE_GTEST ON)
if(EXISTS "${TARVO_GTEST_SOURCE_DIR}/CMakeLists.txt")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest QUIET)
  if(NOT GTest_FOUND)
    message(STATUS "GoogleTest not found: building the program without its tests")
    set(TARVO_HAVE_GTEST OFF)
  endif()
endif()
