# At installation: the data folders under the chosen prefix, keeping any data already there.
set(APP_DIR "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
include("${CMAKE_CURRENT_LIST_DIR}/make-appfolder.cmake")
