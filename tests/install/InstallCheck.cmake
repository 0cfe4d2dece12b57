# cmake -DBUILD=<build dir> -DSTAGE=<dir> -DVALIDATE=<desktop-file-validate> -P InstallCheck.cmake
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(entry ${STAGE}/share/applications/velmora.desktop)
foreach(file bin/velmora bin/velmora-setup share/velmora/program/empty.jpg
        share/velmora/program/Velmora.chm share/applications/velmora.desktop
        share/icons/hicolor/128x128/apps/velmora.png)
  if(NOT EXISTS ${STAGE}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The layouts installed are the program's windows: no test windows, pictures or generators.
file(GLOB layouts RELATIVE ${STAGE}/share/velmora/layouts ${STAGE}/share/velmora/layouts/*)
foreach(name IN LISTS layouts)
  if(NOT name MATCHES "^frm[A-Za-z]+\\.layout$")
    message(FATAL_ERROR "installed, but no window of the program: layouts/${name}")
  endif()
endforeach()

if(NOT VALIDATE)
  message(FATAL_ERROR "desktop-file-validate not found (scripts/deps installs desktop-file-utils)")
endif()
execute_process(COMMAND ${VALIDATE} ${entry} RESULT_VARIABLE result OUTPUT_VARIABLE out
                ERROR_VARIABLE out)
if(NOT result EQUAL 0 OR out)
  message(FATAL_ERROR "velmora.desktop: ${out}")
endif()

# The entry starts the installed program and names the installed icon.
file(STRINGS ${entry} exec REGEX "^Exec=")
file(STRINGS ${entry} icon REGEX "^Icon=")
if(NOT exec STREQUAL "Exec=velmora" OR NOT icon STREQUAL "Icon=velmora")
  message(FATAL_ERROR "velmora.desktop: ${exec} ${icon}")
endif()
file(READ ${STAGE}/share/icons/hicolor/128x128/apps/velmora.png magic LIMIT 8 HEX)
if(NOT magic STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "velmora.png is no PNG picture")
endif()
file(READ ${STAGE}/share/velmora/program/Velmora.chm magic LIMIT 4 HEX)
if(NOT magic STREQUAL "49545346")  # "ITSF"
  message(FATAL_ERROR "Velmora.chm is no compiled help file")
endif()
