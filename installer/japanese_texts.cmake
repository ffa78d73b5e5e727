# Puts the package's Japanese texts into the MSI that wixl built. wixl writes a
# database without a code page and drops every text that is not ASCII, so the
# package is built with ASCII stand-ins; this script gives the database code
# page 932 and replaces them through msibuild, which converts UTF-8 to it.
#   cmake -DMSI=... -DMSIBUILD=... -DWORK=... -P japanese_texts.cmake
set(texts
  "UPDATE `Shortcut` SET `Name` = '受信予約プログラム' WHERE `Shortcut` = 'PlannerShortcut'"
  "UPDATE `Shortcut` SET `Name` = 'NEXA SID切り替えソフト' WHERE `Shortcut` = 'SelectorShortcut'"
  "UPDATE `LaunchCondition` SET `Description` = '新しいバージョンの Lumivent がインストールされています。このパッケージではインストールできません。' WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'")
file(WRITE ${WORK}/_ForceCodepage.idt "\r\n\r\n932\t_ForceCodepage\r\n")
execute_process(COMMAND ${MSIBUILD} ${MSI} -i ${WORK}/_ForceCodepage.idt RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msibuild could not set the code page of ${MSI}")
endif()
foreach(query IN LISTS texts)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${MSIBUILD} ${MSI} -q "${query}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "msibuild failed on ${MSI}: ${query}")
  endif()
endforeach()
