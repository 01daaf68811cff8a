# Off by default, so that a newer compiler's new warning never breaks a user's build; the
# project's presets (and so CI) turn it on.
option(TARVO_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

# cl and clang-cl take MSVC-style options (/W4, /O2), the other compilers GNU-style ones. CMake
# 3.25 names the front-end variant of clang only, so cl is recognised by its id as well.
set(TARVO_MSVC_FRONTEND OFF)
if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC" OR CMAKE_CXX_COMPILER_ID STREQUAL "MSVC")
  set(TARVO_MSVC_FRONTEND ON)
endif()

# Under the MSVC ABI, too, the C and C++ runtime is linked in (/MT): no runtime DLL beside the
# executable.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")

# Warning flags for the project's own targets (never for third-party code).
function(tarvo_target_defaults target)
  if(TARVO_MSVC_FRONTEND)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${TARVO_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra
                                             $<$<BOOL:${TARVO_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  # Else <windows.h> makes min and max macros, which break std::min and std::max.
  target_compile_definitions(${target} PRIVATE $<$<PLATFORM_ID:Windows>:NOMINMAX>)
endfunction()

# A Windows executable needs no MinGW runtime DLL next to it.
function(tarvo_static_link target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
