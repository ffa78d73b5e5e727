# The datagram engine: datagrams from the air into a reception.
lv_fuzz(reception SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/reception_fuzz.cpp LIBS lvunit lvcommon)
