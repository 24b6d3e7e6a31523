# Installation into a program folder the user owns: <prefix>/share/promemo (by default
# ~/.local/share/promemo), with a menu entry and the icon in the user's icon theme.
# User data in the program folder (notes, archive, recurrences, address book, Notino.ini once
# it exists) is never overwritten; scripts/uninstall.sh removes exactly what was installed
# except Notino.ini.

set(PROMEMO_INSTALL_FOLDER share/promemo)

install(TARGETS Notino Kundo Kalvo Kespo Kirmo Vigilo Elenko Mesaro Verifo Aiuto
        RUNTIME DESTINATION ${PROMEMO_INSTALL_FOLDER})
install(FILES ${CMAKE_SOURCE_DIR}/data/suono.wav DESTINATION ${PROMEMO_INSTALL_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons DESTINATION ${PROMEMO_INSTALL_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/help/pages/ DESTINATION ${PROMEMO_INSTALL_FOLDER}/help)

# The settings file is the user's once it exists: installed only into a folder without one.
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PROMEMO_INSTALL_FOLDER}\")
  if(EXISTS \"\${folder}/Notino.ini\")
    message(STATUS \"Kept: \${folder}/Notino.ini\")
  else()
    file(INSTALL DESTINATION \"\${folder}\" TYPE FILE FILES \"${CMAKE_SOURCE_DIR}/data/Notino.ini\")
  endif()
")

# The menu entry starts the launcher from the installed program folder.
install(CODE "
  set(folder \"\${CMAKE_INSTALL_PREFIX}/${PROMEMO_INSTALL_FOLDER}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/promemo.desktop\"
\"[Desktop Entry]
Type=Application
Name=Promemo
GenericName=Promemoria
Comment=Note adesive con data e allarme, calendario e rubrica
Exec=\\\"\${folder}/Notino\\\"
Path=\${folder}
Icon=promemo
Terminal=false
Categories=Office;Calendar;
\")
")
install(FILES ${CMAKE_BINARY_DIR}/promemo.desktop DESTINATION share/applications)
foreach(size 16 22 32 48 64 128)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/promemo-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME promemo.png)
endforeach()
