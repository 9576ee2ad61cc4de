# A header-only library from the system's include folder (/usr/include/toml++, say).
# The cross compiler must not see the rest of /usr/include, so it gets a folder of the
# build that holds a link to the library's folder alone.
function(bs_header_only_include target scope dir)
  get_filename_component(name ${dir} NAME)
  if(CMAKE_CROSSCOMPILING)
    set(include ${CMAKE_BINARY_DIR}/${name}-include)
    file(MAKE_DIRECTORY ${include})
    file(CREATE_LINK ${dir} ${include}/${name} SYMBOLIC)
    target_include_directories(${target} SYSTEM ${scope} ${include})
  else()
    get_filename_component(parent ${dir} DIRECTORY)
    target_include_directories(${target} SYSTEM ${scope} ${parent})
  endif()
endfunction()
