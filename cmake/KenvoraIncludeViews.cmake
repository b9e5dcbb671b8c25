# The layering rule (docs/CONTRIBUTING.md), enforced by the compiler: a library of src/ does
# not see src/ as a whole but a view of it in the build tree, <build>/include-views/<target>,
# holding links to the folders it may include and, for another feature, to the headers the
# allow-list (docs/include-allow-list.txt) grants its folder and what those headers include.
# A forbidden include then fails with "No such file or directory". Programs (the program,
# tests, tools, benchmarks) still see all of src/.
#
#   kenvora_include_view(TARGET OWN_FOLDER [OTHER_FOLDER...])
#     kenvora_include_view(kenvora_drill drill platform shell)
#     kenvora_include_view(kenvora_platform_dao platform)

set(KENVORA_ALLOW_LIST ${CMAKE_SOURCE_DIR}/docs/include-allow-list.txt)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${KENVORA_ALLOW_LIST})

# Removes a view's links (never what they point to) and its folders.
function(_kenvora_clear_view view)
  if(NOT IS_DIRECTORY ${view})
    return()
  endif()
  file(GLOB entries LIST_DIRECTORIES true ${view}/*)
  foreach(entry IN LISTS entries)
    if(IS_SYMLINK ${entry})
      file(REMOVE ${entry})
    elseif(IS_DIRECTORY ${entry})
      _kenvora_clear_view(${entry})
      file(REMOVE ${entry})
    endif()
  endforeach()
endfunction()

function(kenvora_include_view target own)
  set(src ${CMAKE_SOURCE_DIR}/src)
  set(view ${CMAKE_BINARY_DIR}/include-views/${target})
  set(folders ${own} ${ARGN})
  _kenvora_clear_view(${view})
  file(MAKE_DIRECTORY ${view})
  foreach(folder IN LISTS folders)
    file(CREATE_LINK ${src}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()

  # Headers of other features granted to this folder, then what they include in turn.
  set(pending "")
  file(STRINGS ${KENVORA_ALLOW_LIST} lines REGEX "^${own}/")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^[^ \t]+[ \t]+([^ \t#]+)" _ "${line}")
    list(APPEND pending ${CMAKE_MATCH_1})
  endforeach()
  set(granted "")
  while(pending)
    list(POP_FRONT pending header)
    string(REGEX MATCH "^[^/]+" folder "${header}")
    if(header IN_LIST granted OR folder IN_LIST folders OR NOT EXISTS ${src}/${header})
      continue()
    endif()
    list(APPEND granted ${header})
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
      ${src}/${header})
    get_filename_component(parent ${view}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${src}/${header} ${view}/${header} SYMBOLIC)
    file(STRINGS ${src}/${header} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
    foreach(include IN LISTS includes)
      string(REGEX MATCH "\"([^\"]+)\"" _ "${include}")
      list(APPEND pending ${CMAKE_MATCH_1})
    endforeach()
  endwhile()

  target_include_directories(${target} PRIVATE ${view}
    INTERFACE $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${src}>)
endfunction()
