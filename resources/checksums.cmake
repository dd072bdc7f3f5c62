# The checksum table that travels with a set of payload items (resource
# "CHECKSUMS"): the setup refuses an item whose bytes do not match it.
set(PAYLOAD_CHECKSUM_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/checksums.sh)
set(PAYLOAD_CHECKSUM_CHECK ${CMAKE_CURRENT_LIST_FILE})

# add_payload_checksums(OUT ITEM...): OUT holds the CRC-32 of each ITEM in
# order; "-" stands for a missing position.
function(add_payload_checksums out)
  set(depends "")
  foreach(item IN LISTS ARGN)
    if(NOT item STREQUAL "-")
      list(APPEND depends ${item})
    endif()
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND sh ${PAYLOAD_CHECKSUM_SCRIPT} ${out} ${ARGN}
    DEPENDS ${PAYLOAD_CHECKSUM_SCRIPT} ${depends} VERBATIM)
endfunction()

# payload_items_of(RC VAR): the item files that RC names FILE1, FILE2, ... in
# order. Any other line that declares a FILE resource, or a missing item file,
# stops with an error: the worker pairs list position i with "FILE<i>".
function(payload_items_of rc var)
  get_filename_component(dir ${rc} DIRECTORY)
  file(STRINGS ${rc} lines REGEX "^[ \t]*[Ff][Ii][Ll][Ee][0-9]+[ \t]")
  set(items "")
  set(i 0)
  foreach(line IN LISTS lines)
    math(EXPR i "${i} + 1")
    if(NOT line MATCHES "^FILE${i} +RCDATA +\"([^\"]+)\"")
      message(FATAL_ERROR "${rc}: \"${line}\" where FILE${i} RCDATA \"<item file>\" is due")
    endif()
    if(NOT EXISTS ${dir}/${CMAKE_MATCH_1})
      message(FATAL_ERROR "${rc}: FILE${i} names ${dir}/${CMAKE_MATCH_1}, which does not exist")
    endif()
    list(APPEND items ${dir}/${CMAKE_MATCH_1})
  endforeach()
  set(${var} ${items} PARENT_SCOPE)
endfunction()

# add_payload_check(STAMP RC TABLE): at build time, fails unless TABLE holds
# one checksum per FILE resource that RC declares now and every item exists.
function(add_payload_check stamp rc table)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DRC=${rc} -DTABLE=${table} -P ${PAYLOAD_CHECKSUM_CHECK}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${rc} ${table} ${PAYLOAD_CHECKSUM_CHECK} VERBATIM)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  payload_items_of(${RC} items)
  list(LENGTH items declared)
  file(SIZE ${TABLE} bytes)
  math(EXPR entries "${bytes} / 4")
  if(NOT entries EQUAL declared)
    message(FATAL_ERROR "The checksum table ${TABLE} holds ${entries} entries, but ${RC} "
      "declares ${declared} FILE resources; configure this build again")
  endif()
endif()
