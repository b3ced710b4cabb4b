# Makes the data folders of the application folder APP_DIR. An existing category list is kept: it holds
# the user's categories.
file(MAKE_DIRECTORY "${APP_DIR}/Category" "${APP_DIR}/Shopping List" "${APP_DIR}/images" "${APP_DIR}/Documentation")
if(NOT EXISTS "${APP_DIR}/Category/category.txt")
    file(WRITE "${APP_DIR}/Category/category.txt" "")
endif()
