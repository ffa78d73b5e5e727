# The board library's packet reader and section reassembly on what a card delivers.
lv_fuzz(board_sections SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/board_sections_fuzz.cpp LIBS boardsim_core lvboard lvcommon)
# The adapter's registry values, which other programs write.
lv_fuzz(board_registry SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/board_registry_fuzz.cpp LIBS lvboard lvcommon)
