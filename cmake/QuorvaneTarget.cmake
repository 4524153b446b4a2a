# Settings every Quorvane target shares: includes rooted at the repository,
# warnings kept at zero.

function(quorvane_target_defaults target)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${QUORVANE_ROOT}>)
  # Whoever links a Quorvane library compiles its headers, which need C++20.
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:-Wall;-Wextra;-Wpedantic>")
  endif()
  # The sources are UTF-8; on Windows the German texts must reach the ANSI
  # functions in the ANSI code page, one byte per character.
  if(WIN32)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
      target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:-finput-charset=UTF-8;-fexec-charset=CP1252>")
    elseif(MSVC)
      target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:/source-charset:utf-8;/execution-charset:windows-1252>")
    endif()
  endif()
endfunction()

# A layer library from the sources listed and globbed (EXCLUDE is a regular
# expression of files to leave out), so that a new file of a layer needs no
# edit of the build.
function(quorvane_library target)
  cmake_parse_arguments(ARG "" "EXCLUDE" "SOURCES;GLOBS;LINKS" ${ARGN})
  set(sources ${ARG_SOURCES})
  foreach(pattern IN LISTS ARG_GLOBS)
    file(GLOB globbed CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
    list(APPEND sources ${globbed})
  endforeach()
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    message(STATUS "${target}: no sources yet, not built")
    return()
  endif()
  add_library(${target} STATIC ${sources})
  quorvane_target_defaults(${target})
  if(ARG_LINKS)
    target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  endif()
endfunction()
