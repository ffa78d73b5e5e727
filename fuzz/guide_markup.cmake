# The guide mark-up parser against the field-by-field reference parser.
lv_fuzz(guide_markup SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/guide_markup_fuzz.cpp LIBS lvguide lvcommon)
