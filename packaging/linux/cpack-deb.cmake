# Read by cpack for each generator. The .deb installs the component "deb" and nothing else,
# and its synopsis is the first line of its own description, not the ZIP's summary.
if(CPACK_GENERATOR STREQUAL "DEB")
  list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 build_dir)
  set(CPACK_INSTALL_CMAKE_PROJECTS "${build_dir};TarvoDice;deb;/")
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
endif()
