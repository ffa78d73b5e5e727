# The datagram engine: datagrams from the air into a reception.
lv_fuzz(reception SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/reception_fuzz.cpp LIBS lvunit lvcommon)
# The state a restart continues from: decoded, then taken by a starting engine.
lv_fuzz(reception_state SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/reception_state_fuzz.cpp LIBS lvunit lvcommon)
