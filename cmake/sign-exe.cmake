# Build step of cmake/signing.cmake:
#   cmake -DSETTINGS=signing-settings.cmake -DIN=unsigned.exe -DOUT=signed.exe -P sign-exe.cmake
# Signs a copy of IN into OUT; IN is left as it is.
include(${SETTINGS})
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
# A failed signing must not leave an older signed exe behind.
file(REMOVE ${OUT} ${OUT}.part)

# The password reaches osslsigncode through a file (-readpass), never through
# its command line.
set(password_args)
set(password_copy)
if(PASSWORD_FILE)
  set(password_args -readpass ${PASSWORD_FILE})
elseif(NOT "$ENV{TESSALY_SIGN_PASSWORD}" STREQUAL "")
  set(password_copy ${out_dir}/.password)
  file(WRITE ${password_copy} "")
  file(CHMOD ${password_copy} PERMISSIONS OWNER_READ OWNER_WRITE)
  file(APPEND ${password_copy} "$ENV{TESSALY_SIGN_PASSWORD}")
  set(password_args -readpass ${password_copy})
endif()

execute_process(COMMAND ${OSSLSIGNCODE} sign ${SIGN_ARGS} ${password_args} -in ${IN} -out ${OUT}.part
  RESULT_VARIABLE result)
if(password_copy)
  file(REMOVE ${password_copy})
endif()
if(NOT result EQUAL 0)
  file(REMOVE ${OUT}.part)
  message(FATAL_ERROR "osslsigncode could not sign ${IN} (${result})")
endif()
file(RENAME ${OUT}.part ${OUT})
# osslsigncode writes a plain file; the copy stays as runnable as the link output.
file(CHMOD ${OUT} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
