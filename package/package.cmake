# The pilot's manual, generated from the module (tarvex-manual), and the
# procedures' charts it shows. `make package` puts it into the archive with
# the Microsoft-ABI Tarvex.dll (package/make-package.sh).
if(CMAKE_CROSSCOMPILING)
  return()  # made on the build machine, by its own build
endif()
add_executable(tarvex-manual ${CMAKE_SOURCE_DIR}/package/manual.cpp ${CMAKE_SOURCE_DIR}/package/manual_probe.cpp)
target_include_directories(tarvex-manual PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvex-manual PRIVATE tarvex_sim_core)
target_compile_definitions(tarvex-manual PRIVATE TARVEX_VERSION="${PROJECT_VERSION}")
add_dependencies(tarvex-manual Tarvex OrbiterSound)
# The probe reads a vessel's animation numbers through member pointers into
# the loaded module's ShuttlePB, whose type information stays inside the
# module: the sanitizer build's vptr check would need it at link time.
target_compile_options(tarvex-manual PRIVATE -fno-sanitize=vptr)

# The procedures are scenarios like any other (make test flies them); the
# manual takes their steps and charts.
file(GLOB TARVEX_PROCEDURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scenarios/procedure-*.scn)
set(TARVEX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${TARVEX_PACKAGE_DIR}/charts ${TARVEX_PACKAGE_DIR}/work)
set(TARVEX_CHARTS)
foreach(scn ${TARVEX_PROCEDURES})
  get_filename_component(stem ${scn} NAME_WE)
  set(svg ${TARVEX_PACKAGE_DIR}/charts/${stem}.svg)
  # Flown from the source folder, so the chart's title names the scenario as
  # scenarios/NAME.scn wherever the sources are.
  add_custom_command(OUTPUT ${svg}
    COMMAND tarvex-sim scenarios/${stem}.scn --quiet --plot ${svg}
    DEPENDS tarvex-sim Tarvex OrbiterSound ${scn}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  list(APPEND TARVEX_CHARTS ${svg})
endforeach()
set(TARVEX_MANUAL_ARGS --module $<TARGET_FILE:Tarvex> --sound ${TARVEX_SOUND_PATH})
add_custom_command(OUTPUT ${TARVEX_PACKAGE_DIR}/Doc/Tarvex.html
  COMMAND tarvex-manual ${TARVEX_MANUAL_ARGS} --charts ${TARVEX_PACKAGE_DIR}/charts
          --out ${TARVEX_PACKAGE_DIR}/Doc/Tarvex.html ${TARVEX_PROCEDURES}
  DEPENDS tarvex-manual Tarvex OrbiterSound ${TARVEX_CHARTS} ${TARVEX_PROCEDURES}
  WORKING_DIRECTORY ${TARVEX_PACKAGE_DIR}/work VERBATIM)
add_custom_target(tarvex_manual DEPENDS ${TARVEX_PACKAGE_DIR}/Doc/Tarvex.html)

# The manual's words must cover what the module has, and only that: a key,
# HUD line, scenario line, sound slot or animation added without its words
# fails this test.
if(TARVEX_BUILD_TESTS_ENABLED)
  add_test(NAME package.manual
    COMMAND tarvex-manual ${TARVEX_MANUAL_ARGS} --out ${TARVEX_PACKAGE_DIR}/work/manual-test.html ${TARVEX_PROCEDURES}
    WORKING_DIRECTORY ${TARVEX_PACKAGE_DIR}/work)
endif()
