# The planner's schedule folder rebuild over hostile files.
lv_fuzz(schedule_folder SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/schedule_folder_fuzz.cpp
  LIBS lvreserve lvtimetable lvguide lvtestsupport lvcommon)
