# At installation: a desktop entry for the installed program, in the folder the desktop's application
# menu reads: $LARDERON_DESKTOP_DIR when set, otherwise the applications folder of the user's data folder
# ($XDG_DATA_HOME, or ~/.local/share). The entry is listed in install_manifest.txt like every other file.
set(app_dir "${CMAKE_INSTALL_PREFIX}")
if(NOT "$ENV{LARDERON_DESKTOP_DIR}" STREQUAL "")
    set(entry_dir "$ENV{LARDERON_DESKTOP_DIR}")
elseif(NOT "$ENV{XDG_DATA_HOME}" STREQUAL "")
    set(entry_dir "$ENV{XDG_DATA_HOME}/applications")
else()
    set(entry_dir "$ENV{HOME}/.local/share/applications")
endif()

file(WRITE "${LARDERON_ENTRY_STAGING}" "[Desktop Entry]
Type=Application
Name=Larderon
GenericName=Recipe manager
Comment=Keep your household's recipes and shopping lists
Exec=\"${app_dir}/larderon\"
Path=${app_dir}
Icon=${app_dir}/larderon.png
Terminal=false
Categories=Office;Utility;
Keywords=recipe;cookbook;shopping;list;kitchen;
")
file(INSTALL DESTINATION "$ENV{DESTDIR}${entry_dir}" TYPE FILE FILES "${LARDERON_ENTRY_STAGING}")
