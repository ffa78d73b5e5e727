# The reception history's reader of FileList.mls (from the air) and RsvData.log.
lv_fuzz(file_list SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/file_list_fuzz.cpp LIBS lvhistory)
