# The shared logic and every program's core build on Qt Core alone.
#
# Configure time: promemo_check_core_links() fails the configuration when a core links a Qt
# module other than Core, or a library of the suite other than the shared logic and the cores. Test time: run with -P, this script fails when a file
# under common/ or */core/ includes a window or non-Core Qt header, or a platform header other
# than the services' interfaces below, which a window's session takes through its constructor.
# Those interfaces are themselves held to Qt Core; a core only calls them, so it links nothing of
# platform/.

function(promemo_check_core_links)
  get_property(cores GLOBAL PROPERTY PROMEMO_CORES)
  foreach(core IN LISTS cores)
    get_target_property(links ${core} LINK_LIBRARIES)
    foreach(link IN LISTS links)
      if(link STREQUAL "promemo_common" OR link IN_LIST cores)
        continue()
      endif()
      if(link MATCHES "^(Qt6?::|promemo_|Promemo::)")
        message(FATAL_ERROR "${core} links ${link}: a core links only promemo_common, other cores "
                            "and libraries outside Qt and the suite")
      endif()
    endforeach()
  endforeach()
  get_target_property(links promemo_common LINK_LIBRARIES)
  if(NOT links STREQUAL "Qt6::Core;promemo_options")
    message(FATAL_ERROR "promemo_common links ${links}: it builds on Qt Core alone")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_policy(SET CMP0057 NEW)
  # -DSOURCE_DIR=<tree> -DQT_HEADER_DIRS=<QtGui;QtWidgets;... include folders>
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/common/*.h ${SOURCE_DIR}/common/*.cpp
       ${SOURCE_DIR}/*/core/*.h ${SOURCE_DIR}/*/core/*.cpp)
  list(FILTER files EXCLUDE REGEX "^(build|tests)/")
  set(interfaces platform/captions.h platform/keystate.h platform/messageboxes.h
      platform/notifications.h platform/printer.h platform/processstarter.h platform/screen.h
      platform/sound.h platform/windowregistry.h)
  list(APPEND files ${interfaces})
  set(faults "")
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "\"([^\"]+)\"")
        set(header ${CMAKE_MATCH_1})
        # a file of the same folder, the shared logic or a core
        if(NOT header MATCHES "^[^/]+$" AND NOT header MATCHES "^common/" AND NOT header MATCHES "^[a-z]+/core/"
           AND NOT header IN_LIST interfaces)
          list(APPEND faults "${file}: ${header}")
        endif()
      elseif(line MATCHES "<(Qt[A-Za-z]+)/")
        if(NOT CMAKE_MATCH_1 STREQUAL "QtCore")
          list(APPEND faults "${file}: ${CMAKE_MATCH_1}")
        endif()
      elseif(line MATCHES "<(Q[A-Za-z]+)>")
        foreach(dir IN LISTS QT_HEADER_DIRS)
          if(EXISTS ${dir}/${CMAKE_MATCH_1})
            list(APPEND faults "${file}: ${dir}/${CMAKE_MATCH_1}")
          endif()
        endforeach()
      endif()
    endforeach()
  endforeach()
  if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes beyond Qt Core and the shared logic:\n  ${text}")
  endif()
  list(LENGTH files count)
  message(STATUS "${count} files of the shared logic, the cores and the services' interfaces include Qt Core only")
endif()
