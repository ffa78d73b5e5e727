# Keyword conditions from the registry: folding, chains, the search pass, history.
lv_fuzz(keyword_conditions SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/keyword_conditions_fuzz.cpp LIBS lvreserve lvguide lvcommon)
