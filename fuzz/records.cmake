# The record codecs and the tag reader of the common code.
lv_fuzz(reservation_record SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/reservation_record_fuzz.cpp LIBS lvcommon)
lv_fuzz(result_record SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/result_record_fuzz.cpp LIBS lvcommon)
lv_fuzz(program_detail SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/program_detail_fuzz.cpp LIBS lvcommon)
lv_fuzz(tag_value SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tag_value_fuzz.cpp LIBS lvcommon)
