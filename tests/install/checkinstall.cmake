cmake_minimum_required(VERSION 3.25)
# Installs into a scratch prefix and checks the binary, the desktop entry,
# the icons, the metainfo and the man page.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(binary ${PREFIX}/bin/huespin)
set(entry ${PREFIX}/share/applications/${APP_ID}.desktop)
set(icon ${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg)
set(metainfo ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml)
set(manual ${PREFIX}/share/man/man1/huespin.1.gz)
foreach(path ${binary} ${entry} ${icon} ${metainfo} ${manual})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
execute_process(COMMAND test -x ${binary} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "not executable: ${binary}")
endif()
# The installed program finds its window's module: the hidden option that
# the module serves refuses input that Huespin did not pack.
execute_process(COMMAND ${binary} --keep-clipboard INPUT_FILE /dev/null RESULT_VARIABLE result
                ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 30)
if(NOT err MATCHES "the input is not clipboard content" OR NOT EXISTS ${PREFIX}/${MODULE_DIR}/huespin-window.so)
  message(FATAL_ERROR "the installed program does not reach its window's module: ${err}")
endif()

execute_process(COMMAND ${VALIDATE} ${entry} RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR said)
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()
file(READ ${entry} text)
foreach(wanted "\nName=Huespin\n" "\nExec=huespin --documents-folder\n" "\nIcon=${APP_ID}\n"
               "\nStartupNotify=true\n" "\nCategories=Development;WebDevelopment;\n")
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${entry} lacks ${wanted}")
  endif()
endforeach()

execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --no-color ${metainfo}
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${said}")
endif()
file(READ ${metainfo} text)
foreach(wanted "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
               "<release version=\"${VERSION}\"" "<project_license>MIT</project_license>")
  string(FIND "${text}" "${wanted}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${metainfo} lacks ${wanted}")
  endif()
endforeach()

# The icon in paths only, so that it looks the same whatever fonts there are,
# and drawn at every size of the theme.
file(READ ${icon} svg)
if(NOT svg MATCHES "<svg[^>]*xmlns=\"http://www.w3.org/2000/svg\"" OR svg MATCHES "<text")
  message(FATAL_ERROR "${icon} is not an SVG image of paths")
endif()
foreach(size 16 24 32 48 64 128 256)
  set(png ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "not installed: ${png}")
  endif()
endforeach()
