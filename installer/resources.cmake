# What every Windows program's resources take from the build: the suite's
# version (one place, the top-level project()) and an application manifest per
# program, generated into one folder that each .rc finds on its include path.
set(LV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${LV_GENERATED_DIR}/lv_version.h @ONLY)
# DPI awareness is declared only for a program whose every measure scales with
# the display's dots per inch; the others are stretched by the system instead.
# The planner scales its fonts, grid, panes, toolbar images, bubble and clock
# from one reading of the screen's dpi (common/win/dpi.h); the unit and the
# selector are dialogs in dialog units whose only pixel sizes are their icons,
# taken at the system's small-icon size (LoadSmallIcon).
set(LV_DPI_AWARE_PROGRAMS Tavora Quillon nexa)
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
# lv_resources_depend(<target> <rc file> <name>): the .rc takes in its manifest
# (and the version header) by name, and the resource compiler's dependency scan
# does not see the manifest: without this a changed manifest is not built in.
function(lv_resources_depend target rcfile name)
  set_property(SOURCE ${rcfile} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
    ${LV_GENERATED_DIR}/${name}.manifest ${LV_GENERATED_DIR}/lv_version.h)
endfunction()
