# One static library per system folder, linked only to the folder below it, so
# that a call from a folder into one above it does not build:
#  - each folder is also linked on its own into a shared library with no
#    undefined symbols allowed (a DLL on Windows), which fails on a call upward;
#  - each folder's includes are held to the folders below it at build time, which
#    also catches what never reaches the linker (constants, inline code).
set(BS_FOLDER_ORDER)

function(bs_folder_library folder)
  set(target bs_${folder})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX ".*/WinMain\\.cpp$")
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${BS_GENERATED_DIR})
  foreach(below ${ARGN})
    target_link_libraries(${target} PUBLIC bs_${below})
  endforeach()
  bs_warnings(${target})
  set(below_folders ${ARGN})
  if(below_folders)
    get_property(reachable GLOBAL PROPERTY BS_FOLDERS_BELOW_${below_folders})
    list(APPEND below_folders ${reachable})
  endif()
  set_property(GLOBAL PROPERTY BS_FOLDERS_BELOW_${folder} ${below_folders})

  # The layering check links shared libraries; the native build does it, the
  # fuzz build (whose sanitizer runtime lives in the programs) leaves it out.
  if(sources AND NOT BS_FUZZ)
    add_library(${target}_alone SHARED ${PROJECT_SOURCE_DIR}/cmake/Empty.cpp)
    target_link_libraries(${target}_alone PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
    foreach(below ${ARGN})
      target_link_libraries(${target}_alone PRIVATE bs_${below})
    endforeach()
    if(NOT WIN32)
      target_link_options(${target}_alone PRIVATE -Wl,--no-undefined)
      if(BS_SANITIZE)
        target_link_libraries(${target}_alone PRIVATE asan ubsan)
      endif()
    endif()
  endif()

  string(REPLACE ";" "," allowed "${folder};${below_folders}")
  add_custom_target(${target}_includes ALL
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${PROJECT_SOURCE_DIR}/${folder} "-DALLOWED=${allowed}"
            -DALL=platform,report,host,instrument,bench,app,sim,tests
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
    COMMENT "Includes of ${folder}/ stay within ${allowed}" VERBATIM)
  add_dependencies(${target} ${target}_includes)
endfunction()
