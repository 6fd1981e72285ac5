# The account service is reached over https only: the login sends a password. A build
# configured with any other address stops here, so none can send it in clear.
function(tessaro_require_https_url variable url)
  string(TOLOWER "${url}" lowered)
  if(NOT lowered MATCHES "^https://[^/]+")
    message(FATAL_ERROR "${variable} must be an https:// address (the login sends a password), "
                        "not \"${url}\"")
  endif()
endfunction()

# Script mode, for the test: cmake -DURL=<address> -P ServiceUrl.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tessaro_require_https_url(URL "${URL}")
endif()
