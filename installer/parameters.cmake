# The release's parameters, which come from the environment of `make dist`, each written to a file
# of its own that changes only when the parameter does, so that the rules that use them run again
# then: signing.txt (the key's files with their times of change, and the time-stamp server) and
# release-url.txt. Neither holds anything of the key itself.
# cmake -DOUT=folder -P parameters.cmake
function(write_if_changed file text)
  if(EXISTS ${file})
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
endfunction()

set(signing "")
foreach(name SIGN_PFX SIGN_PFX_PASSWORD_FILE SIGN_CERT SIGN_KEY)
  if(NOT "$ENV{${name}}" STREQUAL "")
    file(TIMESTAMP "$ENV{${name}}" changed "%s" UTC)
    string(APPEND signing "${name} $ENV{${name}} ${changed}\n")
  endif()
endforeach()
string(APPEND signing "SIGN_TIMESTAMP_URL $ENV{SIGN_TIMESTAMP_URL}\n")
write_if_changed(${OUT}/signing.txt "${signing}")
write_if_changed(${OUT}/release-url.txt "$ENV{RELEASE_URL}\n")
