# Off by default, so that a newer compiler's new warning never breaks a user's build; the
# project's presets (and so CI) turn it on.
option(TARVO_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

# Warning flags for the project's own targets (never for third-party code).
function(tarvo_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${TARVO_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra
                                             $<$<BOOL:${TARVO_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A Windows executable needs no MinGW runtime DLL next to it.
function(tarvo_static_link target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
