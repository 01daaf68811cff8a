# GoogleTest is built from the sources Debian ships in /usr/src/googletest (package
# libgtest-dev), so the native, sanitized and Windows builds all use the same code,
# compiled with each build's own flags.
set(TARVO_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARVO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
