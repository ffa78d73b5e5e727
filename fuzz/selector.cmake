# The channel selector's outside inputs: channel list files and the routing
# driver's "multicast sessions" registry value.
lv_fuzz(channel_list SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/channel_list_fuzz.cpp LIBS lvselector)
lv_fuzz(multicast_sessions SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/multicast_sessions_fuzz.cpp LIBS lvselector)
