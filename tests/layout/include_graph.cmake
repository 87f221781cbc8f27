# The include graph of src/, folder by folder: dependencies run one way.
# Fails when
#   - a file outside src/app includes app/mainwnd.h (the main window's state
#     is handed down by its handlers, never looked up from below), or
#   - the folders' includes form a cycle (one folder reaching itself).
# Run by ctest as: cmake -DSRC=<source>/src -P include_graph.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT SRC)
  message(FATAL_ERROR "include_graph: SRC is not set")
endif()

# Includes still waiting to be untangled, as "file|header". An include named
# here is left out of the graph; one that no longer exists is an error, so
# the list only ever shrinks.
set(TOLERATED
  "dialogs/hotkeydlg.cpp|app/mainwnd.h"
  "dialogs/settingsdlg.cpp|app/mainwnd.h"
  "editing/editpad_win.cpp|app/mainwnd.h"
  "editing/registereddlg_win.cpp|app/mainwnd.h"
  "menu/menutip_win.cpp|app/mainwnd.h"
  "menu/popupmenu_win.cpp|app/mainwnd.h"
  "menu/popupmenu_win.cpp|shell/viewerchain.h"
  "shell/hotkeys.cpp|app/mainwnd.h"
  "shell/tray.cpp|app/mainwnd.h"
  "shell/tray.cpp|editing/itemlabel.h"
  "shell/viewerchain.cpp|app/mainwnd.h"
)

set(errors "")
set(folders "")
set(seen_tolerated "")
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp ${SRC}/*.rc)
list(SORT files)
foreach(rel ${files})
  string(REGEX MATCH "^[^/]+" from "${rel}")
  if(from STREQUAL rel)
    continue()  # a file directly in src/
  endif()
  list(APPEND folders ${from})
  file(STRINGS ${SRC}/${rel} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/[^\"]+\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    string(REGEX MATCH "^[^/]+" to "${header}")
    if(NOT EXISTS ${SRC}/${header})
      continue()  # not one of Tamarin's headers
    endif()
    list(FIND TOLERATED "${rel}|${header}" tolerated)
    if(tolerated GREATER -1)
      list(APPEND seen_tolerated "${rel}|${header}")
      continue()
    endif()
    if(header STREQUAL "app/mainwnd.h" AND NOT from STREQUAL "app")
      string(APPEND errors "  ${rel} includes app/mainwnd.h; only src/app may\n")
    endif()
    if(NOT to STREQUAL from)
      list(APPEND EDGES_${from} ${to})
      list(REMOVE_DUPLICATES EDGES_${from})
      if(NOT DEFINED WHY_${from}_${to})
        set(WHY_${from}_${to} "${rel} includes ${header}")
      endif()
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES folders)

foreach(entry ${TOLERATED})
  list(FIND seen_tolerated "${entry}" found)
  if(found EQUAL -1)
    string(APPEND errors "  the tolerated include ${entry} is gone: take it off the list\n")
  endif()
endforeach()

# A breadth-first walk from each folder; reaching the folder again is a
# cycle, reported with the include behind each step.
foreach(start ${folders})
  set(queue ${EDGES_${start}})
  foreach(next ${EDGES_${start}})
    set(PARENT_${start}_${next} ${start})
  endforeach()
  set(visited "")
  set(found_cycle FALSE)
  while(queue AND NOT found_cycle)
    list(POP_FRONT queue node)
    if(node STREQUAL start)
      set(found_cycle TRUE)
      break()
    endif()
    list(FIND visited ${node} was)
    if(was GREATER -1)
      continue()
    endif()
    list(APPEND visited ${node})
    foreach(next ${EDGES_${node}})
      if(NOT DEFINED PARENT_${start}_${next})
        set(PARENT_${start}_${next} ${node})
      endif()
      list(APPEND queue ${next})
    endforeach()
  endwhile()
  if(found_cycle)
    set(path "${start}")
    set(steps "")
    set(node ${start})
    foreach(guard RANGE 50)
      set(parent ${PARENT_${start}_${node}})
      set(path "${parent} -> ${path}")
      string(PREPEND steps "    ${WHY_${parent}_${node}}\n")
      set(node ${parent})
      if(node STREQUAL start)
        break()
      endif()
    endforeach()
    string(APPEND errors "  include cycle ${path}:\n${steps}")
  endif()
endforeach()

if(errors)
  message(FATAL_ERROR "include_graph: src/ is not layered one way:\n${errors}")
endif()
list(LENGTH folders folder_count)
message(STATUS "include_graph: ${folder_count} folders, no cycle, app/mainwnd.h included only by src/app")
