# The checksum table that travels with a set of payload items (resource
# "CHECKSUMS"): the setup refuses an item whose bytes do not match it.
set(PAYLOAD_CHECKSUM_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/checksums.sh)

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

# payload_items_of(RC VAR): the item files that RC names FILE1, FILE2, ... in order.
function(payload_items_of rc var)
  get_filename_component(dir ${rc} DIRECTORY)
  file(STRINGS ${rc} lines REGEX "^FILE[0-9]+ +RCDATA +\"")
  set(items "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^FILE[0-9]+ +RCDATA +\"([^\"]+)\".*" "\\1" path "${line}")
    list(APPEND items ${dir}/${path})
  endforeach()
  set(${var} ${items} PARENT_SCOPE)
endfunction()
