# Shared compile settings for every target of the project.
function(qb_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow=local -Wnon-virtual-dtor)
  # g++ 12 at -O3 reports std::string and std::optional internals as overlapping copies
  # and uninitialised reads (GCC bugs 105329, 105651); they are not faults in our code.
  target_compile_options(${target} PRIVATE -Wno-restrict -Wno-maybe-uninitialized)
  if(QB_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(QB_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# One static library per source folder; every .cpp below the folder belongs to it, so a
# new file or subfolder joins its library without an edit here. EXCLUDE takes regular
# expressions matched against paths relative to the folder (a subfolder that is a
# library of its own, a file that belongs to an executable).
function(qb_add_library name)
  cmake_parse_arguments(ARG "" "" "LINK;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ex}")
  endforeach()
  list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  if(NOT sources)
    # A folder whose code has not been written yet still gives its dependants a target.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  qb_set_warnings(${name})
  if(QB_SANITIZE)
    target_compile_options(${name} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${name} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()
