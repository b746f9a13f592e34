# Which layer a file belongs to follows from its folder alone:
#
#   <folder>/*.cpp      the folder's core library tervolin_<folder>: plain C++, no Qt
#   <folder>/ui/*.cpp   the folder's windows, library tervolin_<folder>_ui (Qt)
#   qt/*.cpp            the Qt adapters every window shares, library tervolin_qt
#   app/, cli/          the two programs
#
# The subsystem folders are declared once, lowest layer first, with
#
#   tervolin_folder(NAME [USES folder...] [LINKS target...])
#
# USES names the folders whose core this one builds on (and so may include);
# LINKS the outside libraries its core uses (pugixml, zlib, libxlsxwriter),
# linked only there. The layer check, the GoogleTest programs and the Qt
# layer all follow this list.

set_property(GLOBAL PROPERTY TERVOLIN_FOLDERS "")

function(tervolin_folder folder)
  cmake_parse_arguments(arg "" "" "USES;LINKS" ${ARGN})
  set(deps ${arg_LINKS})
  set(reach ${folder})
  foreach(used ${arg_USES})
    list(APPEND deps tervolin_${used})
    get_property(used_reach GLOBAL PROPERTY TERVOLIN_REACH_${used})
    if(NOT used_reach)
      message(FATAL_ERROR "tervolin_folder(${folder}): '${used}' must be declared before it")
    endif()
    list(APPEND reach ${used_reach})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  # The folders whose headers this folder's core may include.
  set_property(GLOBAL PROPERTY TERVOLIN_REACH_${folder} ${reach})
  set_property(GLOBAL APPEND PROPERTY TERVOLIN_FOLDERS ${folder})

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  set(target tervolin_${folder})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${deps})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${deps})
  endif()
endfunction()

# The declared folders, lowest layer first.
function(tervolin_folders out)
  get_property(folders GLOBAL PROPERTY TERVOLIN_FOLDERS)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# "folder=reach1,reach2,..." for every folder: the layer check's rules.
function(tervolin_layer_rules out)
  tervolin_folders(folders)
  set(rules "")
  foreach(folder ${folders})
    get_property(reach GLOBAL PROPERTY TERVOLIN_REACH_${folder})
    string(REPLACE ";" "," reach "${reach}")
    list(APPEND rules "${folder}=${reach}")
  endforeach()
  set(${out} ${rules} PARENT_SCOPE)
endfunction()

# The Qt layer: tervolin_qt from qt/, then one window library per folder
# that has a ui/ folder, and tervolin_ui with all of them.
function(tervolin_qt_layer)
  file(GLOB qt_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/qt/*.cpp ${CMAKE_SOURCE_DIR}/qt/*.h)
  add_library(tervolin_qt STATIC ${qt_sources})
  set_target_properties(tervolin_qt PROPERTIES AUTOMOC ON)
  target_include_directories(tervolin_qt PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(tervolin_qt PUBLIC tervolin_common Qt6::Widgets)

  add_library(tervolin_ui INTERFACE)
  target_link_libraries(tervolin_ui INTERFACE tervolin_qt)
  tervolin_folders(folders)
  foreach(folder ${folders})
    file(GLOB ui_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/ui/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/ui/*.h)
    if(NOT ui_sources)
      continue()
    endif()
    set(target tervolin_${folder}_ui)
    add_library(${target} STATIC ${ui_sources})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PUBLIC tervolin_${folder} tervolin_qt)
    target_link_libraries(tervolin_ui INTERFACE ${target})
  endforeach()
endfunction()
