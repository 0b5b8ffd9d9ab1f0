# One static library per layer. Each layer sees the headers of its own
# folders and of the layers it links, and nothing else: its include root is
# a folder of links to exactly those source folders, so an include that
# reaches up to a higher layer does not resolve and the build fails.
#
#   orbus_layer(NAME <target> FOLDERS <folder under src/>... [LINKS <lower targets>...] [SOURCES ...])
function(orbus_layer)
  cmake_parse_arguments(L "" "NAME" "FOLDERS;LINKS;SOURCES;EXCLUDE" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${L_NAME})
  file(MAKE_DIRECTORY ${root})
  set(sources ${L_SOURCES})
  foreach(folder IN LISTS L_FOLDERS)
    get_filename_component(leaf ${folder} NAME)
    if(NOT EXISTS ${root}/${leaf})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${leaf} SYMBOLIC)
    endif()
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  foreach(pattern IN LISTS L_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  add_library(${L_NAME} STATIC ${sources})
  target_include_directories(${L_NAME} PUBLIC ${root})
  if(L_LINKS)
    target_link_libraries(${L_NAME} PUBLIC ${L_LINKS})
  endif()
endfunction()
