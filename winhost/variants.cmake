# Stand-in hosts that do not share the module's C run time and machine
# state, and the flights that show the module does not depend on either:
#  - foreign-heap/: orbiter.exe with a heap of its own (foreign_heap.cpp),
#    as a host built with another compiler or a static C run time has; it
#    refuses to free memory it did not allocate;
#  - fpu/: orbiter.exe calling into the module with the x87 unit in single
#    precision and rounding down (fpu_host.cpp), as graphics back-ends leave it.
# Each flies every scenario (expectations passing) with the same telemetry,
# trace and saved scenario as the plain orbiter.exe, and the vessel life with
# the plain host's trace, which is the Linux build's.
set(TARVEX_HOST_VARIANTS bash ${CMAKE_CURRENT_SOURCE_DIR}/host_variants.sh)
set(TARVEX_VARIANT_SOURCES_foreign-heap ${CMAKE_CURRENT_SOURCE_DIR}/foreign_heap.cpp)
set(TARVEX_VARIANT_SOURCES_fpu ${CMAKE_CURRENT_SOURCE_DIR}/fpu_host.cpp)
set(TARVEX_LINUX_LIFE ${CMAKE_SOURCE_DIR}/build/bin/tarvex-life CACHE FILEPATH
  "Linux vessel-life host (preset default), whose trace the Microsoft-ABI hosts must match")

# A module that frees a host-made transform the old way (its tables are
# right, so the table check passes it), for the foreign-heap host to refuse.
tarvex_faulty_module(host_delete ${TARVEX_DEF} "passed" TARVEX_FAULT_HOST_DELETE)
set_tests_properties(msvc.check.Rejects_host_delete PROPERTIES WILL_FAIL OFF)

# The plain hosts' runs the variants are compared with.
set(base_flight ${CMAKE_BINARY_DIR}/flight)
set(base_life ${CMAKE_BINARY_DIR}/life/life.txt)
if(EXISTS ${TARVEX_LINUX_LIFE})
  add_test(NAME msvc.life.plain COMMAND ${TARVEX_HOST_VARIANTS} life ${CMAKE_BINARY_DIR}/life ${base_life}
    ${TARVEX_LINUX_LIFE} ${CMAKE_SOURCE_DIR}/build/bin/libTarvex.so ${CMAKE_SOURCE_DIR}/build/bin/sound/OrbiterSound.dll)
else()
  add_test(NAME msvc.life.plain COMMAND ${TARVEX_HOST_VARIANTS} life ${CMAKE_BINARY_DIR}/life ${base_life})
endif()
set_tests_properties(msvc.life.plain PROPERTIES FIXTURES_SETUP msvc_base_life)
# The plain host's flights are the scenario tests of checks.cmake, which
# write their telemetry, trace and end scenario for the variants to match.
file(GLOB TARVEX_VARIANT_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scenarios/*.scn)
set(TARVEX_VARIANT_FLIGHTS "")
foreach(scn ${TARVEX_VARIANT_SCENARIOS})
  get_filename_component(stem ${scn} NAME_WE)
  list(APPEND TARVEX_VARIANT_FLIGHTS ${stem})
  set(args_${stem} ${scn})
  set_tests_properties(msvc.scenario.${stem} PROPERTIES FIXTURES_SETUP msvc_base_${stem})
endforeach()
set_tests_properties(msvc.scenario.demo PROPERTIES FIXTURES_SETUP "msvc_demo_saved;msvc_base_demo")
# The demo's script saves the hover scenario the resume script flies on from.
list(APPEND TARVEX_VARIANT_FLIGHTS demo-resume)
set(args_demo-resume out/demo-hover.scn --script ${CMAKE_SOURCE_DIR}/scenarios/resume/demo-hover.script)
set_tests_properties(msvc.scenario.demo-resume PROPERTIES FIXTURES_SETUP msvc_base_demo-resume)

foreach(variant foreign-heap fpu)
  string(REPLACE "-" "_" v ${variant})
  tarvex_orbiter_exe(orbiter_${v} ${variant} ${TARVEX_SIM_SOURCES} ${TARVEX_VARIANT_SOURCES_${variant}})
  target_compile_definitions(orbiter_${v} PRIVATE TARVEX_DEFAULT_MODULE="Modules\\\\Tarvex.dll"
    TARVEX_DEFAULT_SOUND="sound\\\\OrbiterSound.dll")
  tarvex_orbiter_exe(tarvex_life_${v} life-${variant} ${CMAKE_CURRENT_SOURCE_DIR}/life.cpp
    ${TARVEX_VARIANT_SOURCES_${variant}})
  set(dir ${CMAKE_BINARY_DIR}/${variant})
  foreach(name ${TARVEX_VARIANT_FLIGHTS})
    add_test(NAME msvc.flight.${variant}.${name}
      COMMAND ${TARVEX_HOST_VARIANTS} same ${dir} ${base_flight} ${name} -- ${args_${name}})
    set_tests_properties(msvc.flight.${variant}.${name} PROPERTIES FIXTURES_REQUIRED msvc_base_${name})
  endforeach()
  set_tests_properties(msvc.flight.${variant}.demo PROPERTIES FIXTURES_SETUP msvc_${v}_demo_saved)
  set_tests_properties(msvc.flight.${variant}.demo-resume PROPERTIES
    FIXTURES_REQUIRED "msvc_base_demo-resume;msvc_${v}_demo_saved")
  add_test(NAME msvc.life.${variant} COMMAND ${TARVEX_HOST_VARIANTS} samelife ${CMAKE_BINARY_DIR}/life-${variant} ${base_life})
  set_tests_properties(msvc.life.${variant} PROPERTIES FIXTURES_REQUIRED msvc_base_life)
endforeach()

# The module that frees a host-made transform: the foreign-heap host stops it
# at the vessel's end; the plain host, sharing msvcrt.dll's heap, cannot tell.
set(host_delete_copies "")
foreach(dir life life-foreign-heap)
  set(copy ${CMAKE_BINARY_DIR}/${dir}/Modules/HostDelete.dll)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/${dir}/Modules
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:faulty_host_delete> ${copy}
    DEPENDS faulty_host_delete $<TARGET_FILE:faulty_host_delete> VERBATIM)
  list(APPEND host_delete_copies ${copy})
endforeach()
add_custom_target(tarvex_host_delete_modules ALL DEPENDS ${host_delete_copies})
add_test(NAME msvc.life.foreign-heap.Refuses_host_delete COMMAND ${TARVEX_HOST_VARIANTS} refuse
  ${CMAKE_BINARY_DIR}/life-foreign-heap 70 "operator delete was handed .*which the host's heap did not allocate"
  -- Modules\\HostDelete.dll sound\\OrbiterSound.dll)
add_test(NAME msvc.life.plain.Misses_host_delete COMMAND ${TARVEX_HOST_VARIANTS} refuse
  ${CMAKE_BINARY_DIR}/life 0 "^" -- Modules\\HostDelete.dll sound\\OrbiterSound.dll)
