# Stand-in hosts that do not share the module's C run time and machine
# state, and the flights that show the module does not depend on either:
#  - foreign-heap/: orbiter.exe with a heap of its own (foreign_heap.cpp),
#    as a host built with another compiler or a static C run time has; it
#    refuses to free memory it did not allocate;
#  - fpu/: orbiter.exe calling into the module with the x87 unit in single
#    precision and rounding down (fpu_host.cpp), as graphics back-ends leave it.
# Each flies every scenario (expectations passing) with the same telemetry,
# trace and saved scenario as the plain orbiter.exe, and the vessel life with
# the Linux build's trace.
set(TARVEX_HOST_VARIANTS bash ${CMAKE_CURRENT_SOURCE_DIR}/host_variants.sh)
set(TARVEX_VARIANT_SOURCES_foreign-heap ${CMAKE_CURRENT_SOURCE_DIR}/foreign_heap.cpp)
set(TARVEX_VARIANT_SOURCES_fpu ${CMAKE_CURRENT_SOURCE_DIR}/fpu_host.cpp)

# Faulty modules whose tables are right (so the table check passes them), for
# the variants to refuse: one frees a host-made transform the old way, one
# returns to the host with the x87 unit in another mode.
foreach(fault host_delete fpu_mode)
  string(TOUPPER ${fault} define)
  tarvex_faulty_module(${fault} ${TARVEX_DEF} "passed" TARVEX_FAULT_${define})
  set_tests_properties(msvc.check.Rejects_${fault} PROPERTIES WILL_FAIL OFF)
endforeach()

# The vessel life of every host makes the calls of the Linux build's, stored
# as the reference flight tests/reference/life.trace.
set(life_reference ${CMAKE_SOURCE_DIR}/tests/reference/life.trace)
add_test(NAME msvc.life.plain COMMAND ${TARVEX_HOST_VARIANTS} life ${CMAKE_BINARY_DIR}/life ${life_reference})
# The plain host's flights (in flight/) are the scenario tests of checks.cmake, which
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
  tarvex_orbiter_exe(orbiter_${v} ${variant} ${TARVEX_SIM_SOURCES} ${TARVEX_SIM_MAIN} ${TARVEX_VARIANT_SOURCES_${variant}})
  target_compile_definitions(orbiter_${v} PRIVATE TARVEX_DEFAULT_MODULE="Modules\\\\Tarvex.dll"
    TARVEX_DEFAULT_SOUND="sound\\\\OrbiterSound.dll")
  tarvex_orbiter_exe(tarvex_life_${v} life-${variant} ${TARVEX_LIFE_SOURCES}
    ${TARVEX_VARIANT_SOURCES_${variant}})
  set(dir ${CMAKE_BINARY_DIR}/${variant})
  foreach(name ${TARVEX_VARIANT_FLIGHTS})
    add_test(NAME msvc.flight.${variant}.${name}
      COMMAND ${TARVEX_HOST_VARIANTS} same ${dir} ${CMAKE_BINARY_DIR}/flight ${name} -- ${args_${name}})
    set_tests_properties(msvc.flight.${variant}.${name} PROPERTIES FIXTURES_REQUIRED msvc_base_${name})
  endforeach()
  set_tests_properties(msvc.flight.${variant}.demo PROPERTIES FIXTURES_SETUP msvc_${v}_demo_saved)
  set_tests_properties(msvc.flight.${variant}.demo-resume PROPERTIES
    FIXTURES_REQUIRED "msvc_base_demo-resume;msvc_${v}_demo_saved")
  add_test(NAME msvc.life.${variant} COMMAND ${TARVEX_HOST_VARIANTS} life ${CMAKE_BINARY_DIR}/life-${variant}
    ${life_reference})
endforeach()

# The foreign-heap host stops the module that frees a host-made transform at
# the vessel's end, where the plain host, sharing msvcrt.dll's heap, cannot
# tell; the floating-point host stops the module that changes its mode.
set(faulty_copies "")
foreach(copy life/Modules/HostDelete.dll life-foreign-heap/Modules/HostDelete.dll life-fpu/Modules/FpuMode.dll)
  string(REGEX MATCH "[A-Za-z]+.dll$" file ${copy})
  set(target faulty_host_delete)
  if(file STREQUAL "FpuMode.dll")
    set(target faulty_fpu_mode)
  endif()
  get_filename_component(folder ${CMAKE_BINARY_DIR}/${copy} DIRECTORY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${copy}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${CMAKE_BINARY_DIR}/${copy}
    DEPENDS ${target} $<TARGET_FILE:${target}> VERBATIM)
  list(APPEND faulty_copies ${CMAKE_BINARY_DIR}/${copy})
endforeach()
add_custom_target(tarvex_faulty_modules_in_hosts ALL DEPENDS ${faulty_copies})
set(sound sound\\OrbiterSound.dll)
add_test(NAME msvc.life.foreign-heap.Refuses_host_delete COMMAND ${TARVEX_HOST_VARIANTS} refuse
  ${CMAKE_BINARY_DIR}/life-foreign-heap 70 "operator delete was handed .*which the host's heap did not allocate"
  -- Modules\\HostDelete.dll ${sound})
add_test(NAME msvc.life.plain.Misses_host_delete COMMAND ${TARVEX_HOST_VARIANTS} refuse
  ${CMAKE_BINARY_DIR}/life 0 "^" -- Modules\\HostDelete.dll ${sound})
add_test(NAME msvc.life.fpu.Refuses_fpu_mode COMMAND ${TARVEX_HOST_VARIANTS} refuse
  ${CMAKE_BINARY_DIR}/life-fpu 71 "returned with the floating-point mode changed: x87 control word 0x027F"
  -- Modules\\FpuMode.dll ${sound})
