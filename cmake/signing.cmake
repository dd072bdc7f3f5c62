# Authenticode signing of TessalySetup.exe, off unless a certificate is named.
# The signature goes on a copy, signed/TessalySetup.exe: a signature carries its
# signing time, and the link output must stay what an unsigned build makes.
# Each setting takes its first value from the environment variable of the same
# name. The key's password comes from TESSALY_SIGN_PASSWORD_FILE or, at build
# time, from the environment variable TESSALY_SIGN_PASSWORD, never from the cache.
set(TESSALY_SIGN_PKCS12 "$ENV{TESSALY_SIGN_PKCS12}" CACHE FILEPATH
  "PKCS#12 file with the code-signing certificate (and chain) and its key")
set(TESSALY_SIGN_CERT "$ENV{TESSALY_SIGN_CERT}" CACHE FILEPATH
  "PEM code-signing certificate (and chain); its key is TESSALY_SIGN_KEY")
set(TESSALY_SIGN_KEY "$ENV{TESSALY_SIGN_KEY}" CACHE FILEPATH "PEM private key of TESSALY_SIGN_CERT")
set(TESSALY_SIGN_PASSWORD_FILE "$ENV{TESSALY_SIGN_PASSWORD_FILE}" CACHE FILEPATH
  "File holding the password of the PKCS#12 file or key")
set(TESSALY_SIGN_TIMESTAMP_URL "$ENV{TESSALY_SIGN_TIMESTAMP_URL}" CACHE STRING
  "RFC 3161 time-stamp server; empty: no time stamp")

set(signed_dir ${CMAKE_CURRENT_BINARY_DIR}/signed)
if(NOT TESSALY_SIGN_PKCS12 AND NOT TESSALY_SIGN_CERT AND NOT TESSALY_SIGN_KEY)
  # A signed copy left from an earlier configuration would pass for this build's.
  file(REMOVE_RECURSE ${signed_dir})
  return()
endif()

if(TESSALY_SIGN_PKCS12 AND (TESSALY_SIGN_CERT OR TESSALY_SIGN_KEY))
  message(FATAL_ERROR "Name either TESSALY_SIGN_PKCS12 or TESSALY_SIGN_CERT with TESSALY_SIGN_KEY, not both")
endif()
if(TESSALY_SIGN_PKCS12)
  set(sign_inputs ${TESSALY_SIGN_PKCS12})
  set(sign_credentials -pkcs12 ${TESSALY_SIGN_PKCS12})
else()
  if(NOT TESSALY_SIGN_CERT OR NOT TESSALY_SIGN_KEY)
    message(FATAL_ERROR "TESSALY_SIGN_CERT and TESSALY_SIGN_KEY go together")
  endif()
  set(sign_inputs ${TESSALY_SIGN_CERT} ${TESSALY_SIGN_KEY})
  set(sign_credentials -certs ${TESSALY_SIGN_CERT} -key ${TESSALY_SIGN_KEY})
endif()
if(TESSALY_SIGN_PASSWORD_FILE)
  list(APPEND sign_inputs ${TESSALY_SIGN_PASSWORD_FILE})
endif()
foreach(file IN LISTS sign_inputs)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "Signing: ${file} does not exist")
  endif()
endforeach()
find_program(OSSLSIGNCODE_EXECUTABLE osslsigncode REQUIRED)

set(sign_options -h sha256 -n "Tessaly for MS Excel V2.6 Setup" -i "https://www.tarnwick.example/")
if(TESSALY_SIGN_TIMESTAMP_URL)
  list(APPEND sign_options -ts ${TESSALY_SIGN_TIMESTAMP_URL})
endif()
# The settings travel in a file, so that a changed setting signs again and the
# build log shows no more than the script's name.
set(sign_settings ${CMAKE_CURRENT_BINARY_DIR}/signing-settings.cmake)
file(CONFIGURE OUTPUT ${sign_settings} CONTENT [==[
set(OSSLSIGNCODE [=[@OSSLSIGNCODE_EXECUTABLE@]=])
set(SIGN_ARGS [=[@sign_options@;@sign_credentials@]=])
set(PASSWORD_FILE [=[@TESSALY_SIGN_PASSWORD_FILE@]=])
]==] @ONLY)

set(signed_exe ${signed_dir}/TessalySetup${CMAKE_EXECUTABLE_SUFFIX})
add_custom_command(OUTPUT ${signed_exe}
  COMMAND ${CMAKE_COMMAND} -DSETTINGS=${sign_settings} -DIN=$<TARGET_FILE:TessalySetup>
          -DOUT=${signed_exe} -P ${CMAKE_SOURCE_DIR}/cmake/sign-exe.cmake
  DEPENDS TessalySetup ${sign_settings} ${sign_inputs} ${CMAKE_SOURCE_DIR}/cmake/sign-exe.cmake
  COMMENT "Signing a copy of TessalySetup.exe: ${signed_exe}"
  VERBATIM)
add_custom_target(TessalySetupSigned ALL DEPENDS ${signed_exe})
