# What every Windows program's resources take from the build: the suite's
# version (one place, the top-level project()) and an application manifest per
# program, generated into one folder that each .rc finds on its include path.
set(LV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${LV_GENERATED_DIR}/lv_version.h @ONLY)
# DPI awareness is declared only for a program whose every measure scales with
# the display's dots per inch; the others are stretched by the system instead.
# The planner scales its fonts, grid, panes, toolbar images, bubble and clock
# from one reading of the screen's dpi (common/win/dpi.h).
set(LV_DPI_AWARE_PROGRAMS Tavora)
foreach(name Tavora Quillon nexa OVD)
  if(name IN_LIST LV_DPI_AWARE_PROGRAMS)
    set(LV_MANIFEST_DPI "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <windowsSettings>
      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>
    </windowsSettings>
  </application>
")
  else()
    set(LV_MANIFEST_DPI "")
  endif()
  set(LV_MANIFEST_NAME ${name})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/app.manifest.in ${LV_GENERATED_DIR}/${name}.manifest @ONLY)
endforeach()
include_directories(${LV_GENERATED_DIR})
