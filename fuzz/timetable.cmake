# The timetable's files from the program folder: colour schemes and category groups.
lv_fuzz(colour_scheme SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/colour_scheme_fuzz.cpp LIBS lvtimetable)
lv_fuzz(category_list SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/category_list_fuzz.cpp LIBS lvtimetable)
