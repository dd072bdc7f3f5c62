# Resource-only DLLs of payload items, made at build time for tests and benchmarks.
set(PAYLOAD_ITEM_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/make-item.sh)
include(${CMAKE_SOURCE_DIR}/resources/checksums.cmake)

# Links a resource-only DLL from the compiled resource object RES.
function(_link_payload_dll NAME RES)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.dll
    COMMAND ${CMAKE_C_COMPILER} -shared -nostdlib -Wl,--entry=0 -s
            -o ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.dll ${RES}
    DEPENDS ${RES} VERBATIM)
  add_custom_target(${NAME} ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.dll)
endfunction()

# add_payload_dll(NAME n ITEMS size... [DAMAGED i]): item i is "FILE<i>" of that
# many bytes, with their checksum table; the word "missing" leaves that position
# out. DAMAGED stores item i with its first byte changed after its checksum was taken.
function(add_payload_dll)
  cmake_parse_arguments(P "" "NAME;DAMAGED" "ITEMS" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${P_NAME})
  set(rc "LANGUAGE 0, 0\n")
  set(items "")
  set(sums "")
  set(i 0)
  foreach(size IN LISTS P_ITEMS)
    math(EXPR i "${i} + 1")
    if(size STREQUAL "missing")
      list(APPEND sums "-")
      continue()
    endif()
    set(item ${dir}/item${i}.bin)
    add_custom_command(OUTPUT ${item}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${PAYLOAD_ITEM_SCRIPT} ${size} ${item}
      DEPENDS ${PAYLOAD_ITEM_SCRIPT} VERBATIM)
    list(APPEND sums ${item})
    if(i STREQUAL "${P_DAMAGED}")
      set(damaged ${dir}/item${i}-damaged.bin)
      add_custom_command(OUTPUT ${damaged}
        COMMAND sh ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/damage-item.sh ${item} ${damaged}
        DEPENDS ${item} VERBATIM)
      set(item ${damaged})
    endif()
    string(APPEND rc "FILE${i} RCDATA \"${item}\"\n")
    list(APPEND items ${item})
  endforeach()
  add_payload_checksums(${dir}/checksums.bin ${sums})
  string(APPEND rc "CHECKSUMS RCDATA \"${dir}/checksums.bin\"\n")
  file(GENERATE OUTPUT ${dir}/${P_NAME}.rc CONTENT "${rc}")
  add_custom_command(OUTPUT ${dir}/${P_NAME}.res.o
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${dir}/${P_NAME}.rc -o ${dir}/${P_NAME}.res.o
    DEPENDS ${items} ${dir}/checksums.bin ${dir}/${P_NAME}.rc VERBATIM)
  _link_payload_dll(${P_NAME} ${dir}/${P_NAME}.res.o)
endfunction()

# add_payload_dll_from_rc(NAME n RC file.rc [INCLUDE dir] [DEPENDS file...]): the
# items of an existing resource script; INCLUDE is where its generated files are.
function(add_payload_dll_from_rc)
  cmake_parse_arguments(P "" "NAME;RC;INCLUDE" "DEPENDS" ${ARGN})
  get_filename_component(rcdir ${P_RC} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${P_NAME}.res.o)
  set(includes -I ${rcdir})
  if(P_INCLUDE)
    list(APPEND includes -I ${P_INCLUDE})
  endif()
  add_custom_command(OUTPUT ${res}
    COMMAND ${CMAKE_RC_COMPILER} -O coff ${includes} -i ${P_RC} -o ${res}
    WORKING_DIRECTORY ${rcdir}
    DEPENDS ${P_RC} ${P_DEPENDS} VERBATIM)
  _link_payload_dll(${P_NAME} ${res})
endfunction()
