# The WebP tools under the name the runner picks on this host: bare on ARM, "<tool>-x8664" on
# x86-64. The build tree holds copies, so a build runs as it is. An install holds links to the
# system's tools instead, so upgrading the system's webp package upgrades what the engine runs.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(arm|aarch64|ARM)")
  set(TESSARO_TOOL_SUFFIX "")
else()
  set(TESSARO_TOOL_SUFFIX "-x8664")
endif()
set(TESSARO_TOOLS_SUBDIR tessaro-pro/tools)
set(TESSARO_TOOLS_DIR ${CMAKE_BINARY_DIR}/share/${TESSARO_TOOLS_SUBDIR})
file(MAKE_DIRECTORY ${TESSARO_TOOLS_DIR})
set(TESSARO_TOOL_LINK_DIR /usr/bin CACHE PATH
    "Folder of the system's cwebp, dwebp and gif2webp that the installed tool links point at")
foreach(tool cwebp dwebp gif2webp)
  find_program(TESSARO_${tool}_PATH ${tool} REQUIRED)
  configure_file(${TESSARO_${tool}_PATH} ${TESSARO_TOOLS_DIR}/${tool}${TESSARO_TOOL_SUFFIX} COPYONLY)
  list(APPEND tessaro_tool_names ${tool})
endforeach()

# The links are made at install time, when the real prefix is known (CPack and DESTDIR
# included): relative inside the same top-level folder as the system's tools, absolute otherwise.
install(CODE "
  set(tools_dir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/${TESSARO_TOOLS_SUBDIR}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${tools_dir}\")
  string(REGEX MATCH \"^/[^/]*\" tools_top \"\${tools_dir}\")
  string(REGEX MATCH \"^/[^/]*\" link_top \"${TESSARO_TOOL_LINK_DIR}\")
  foreach(tool ${tessaro_tool_names})
    set(target \"${TESSARO_TOOL_LINK_DIR}/\${tool}\")
    if(tools_top STREQUAL link_top)
      file(RELATIVE_PATH target \"\${tools_dir}\" \"\${target}\")
    endif()
    set(link \"\$ENV{DESTDIR}\${tools_dir}/\${tool}${TESSARO_TOOL_SUFFIX}\")
    message(STATUS \"Linking: \${link} -> \${target}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"\${target}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
  endforeach()
")
