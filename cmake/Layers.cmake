# twi_layer(<name> FOLDERS <folder>... [USES <layer>...] [LIBS <lib>...] [EXCLUDE <file>...])
#
# Builds the static library twi_<name> from the .cpp files of its folders. The
# library links the layers it USES (and through them every layer below), and
# compiles with one include folder, build/layers/<name>/, holding links to its
# own folders and to the folders of every layer below it, and nothing else: an
# #include "<folder>/..." of a higher layer is then "No such file" and the build
# stops. Every header of the layer is compiled once in the layer's own library
# (one generated file including them all), so a header that reaches upwards is
# refused too, even when only higher layers include it.
set(TWI_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

function(twi_layer name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;USES;LIBS;EXCLUDE" ${ARGN})
  set(visible ${ARG_FOLDERS})
  foreach(lower IN LISTS ARG_USES)
    get_property(lower_folders GLOBAL PROPERTY TWI_LAYER_FOLDERS_${lower})
    if(NOT lower_folders)
      message(FATAL_ERROR "Layer ${name} uses ${lower}, which is not defined before it")
    endif()
    list(APPEND visible ${lower_folders})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY TWI_LAYER_FOLDERS_${name} ${visible})

  set(root ${TWI_LAYER_ROOT}/${name})
  file(REMOVE_RECURSE ${root})
  foreach(folder IN LISTS visible)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()

  set(sources)
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${folder_sources})
  endforeach()
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${excluded})
  endforeach()

  set(header_includes "// Generated: every header of layer ${name}, compiled in its place.\n")
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}
         ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    foreach(header IN LISTS folder_headers)
      string(APPEND header_includes "#include \"${header}\"\n")
    endforeach()
  endforeach()
  set(header_check ${CMAKE_BINARY_DIR}/layer-headers/${name}.cpp)
  file(CONFIGURE OUTPUT ${header_check} CONTENT "${header_includes}")
  list(APPEND sources ${header_check})

  add_library(twi_${name} STATIC ${sources})
  target_include_directories(twi_${name} PRIVATE ${root})
  set(lower_libraries)
  foreach(lower IN LISTS ARG_USES)
    list(APPEND lower_libraries twi_${lower})
  endforeach()
  target_link_libraries(twi_${name} PUBLIC ${lower_libraries} ${ARG_LIBS})
endfunction()

# Gives a target (the program's entry point) the include folder of a layer.
function(twi_layer_includes target layer)
  target_include_directories(${target} PRIVATE ${TWI_LAYER_ROOT}/${layer})
endfunction()
