# Tests of the Microsoft-ABI build (ctest --preset msvc): every scenario
# flown by orbiter.exe under Wine, the static checks of Tarvex.dll, and each
# check rejecting a deliberately faulty DLL.
find_program(TARVEX_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)

# --- Scenarios -----------------------------------------------------------------
file(GLOB TARVEX_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scenarios/*.scn)
foreach(scn ${TARVEX_SCENARIOS})
  get_filename_component(stem ${scn} NAME_WE)
  add_test(NAME msvc.scenario.${stem} COMMAND orbiter ${scn} --quiet --save out/${stem}-end.scn
    --csv out/${stem}.csv --trace out/${stem}.trace WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/flight)
endforeach()
set_tests_properties(msvc.scenario.demo PROPERTIES FIXTURES_SETUP msvc_demo_saved)
add_test(NAME msvc.scenario.demo-resume
  COMMAND orbiter out/demo-hover.scn --quiet --script ${CMAKE_SOURCE_DIR}/scenarios/resume/demo-hover.script
  --save out/demo-resume-end.scn --csv out/demo-resume.csv --trace out/demo-resume.trace
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/flight)
set_tests_properties(msvc.scenario.demo-resume PROPERTIES FIXTURES_REQUIRED msvc_demo_saved)

# --- Tables of the DLL ---------------------------------------------------------
function(tarvex_dll_check name dll)
  add_test(NAME ${name} COMMAND bash ${CMAKE_SOURCE_DIR}/.ci/check-msvc-dll ${dll} $<TARGET_FILE:orbiter>)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "OBJDUMP=${TARVEX_OBJDUMP};NM=${TARVEX_NM}" ${ARGN})
endfunction()
tarvex_dll_check(msvc.check.TarvexTables $<TARGET_FILE:Tarvex>)

# One faulty module per fault; the check must name the fault.
set(F ${W}/faulty)
list(JOIN TARVEX_MODULE_EXPORTS "\n  " exports)
file(WRITE ${F}/five_exports.def "LIBRARY faulty.dll\nEXPORTS\n  ${exports}\n  ExitModule\n")
file(WRITE ${F}/gnu_runtime.def "LIBRARY msvcrt.dll\nEXPORTS\n  __cxa_pure_virtual\n")
add_custom_command(OUTPUT ${F}/gnu_runtime.lib
  COMMAND ${TARVEX_DLLTOOL} -m i386 -d ${F}/gnu_runtime.def -l ${F}/gnu_runtime.lib VERBATIM)
add_custom_target(tarvex_gnu_runtime_lib DEPENDS ${F}/gnu_runtime.lib)
function(tarvex_faulty_module fault def complaint)
  add_library(faulty_${fault}_objects OBJECT ${CMAKE_CURRENT_SOURCE_DIR}/faulty_module.cpp)
  target_include_directories(faulty_${fault}_objects PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(faulty_${fault}_objects PRIVATE ${ARGN})
  set(lib ${F}/${fault}/orbiter.lib)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${F}/${fault}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/host_imports.sh ${TARVEX_NM} ${CMAKE_SOURCE_DIR}/module/orbiter_api.h
            ${F}/${fault}/orbiter_imports.def $<TARGET_OBJECTS:tarvex_crt_dll> -- $<TARGET_OBJECTS:faulty_${fault}_objects>
    COMMAND ${TARVEX_DLLTOOL} -m i386 -d ${F}/${fault}/orbiter_imports.def -l ${lib}
    DEPENDS faulty_${fault}_objects $<TARGET_OBJECTS:faulty_${fault}_objects> COMMAND_EXPAND_LISTS VERBATIM)
  add_library(faulty_${fault} SHARED $<TARGET_OBJECTS:faulty_${fault}_objects> ${def} ${lib})
  add_dependencies(faulty_${fault} tarvex_gnu_runtime_lib)
  target_link_libraries(faulty_${fault} PRIVATE ${lib} ${F}/gnu_runtime.lib ${TARVEX_MINGW_ROOT}/lib/libuser32.a)
  set_target_properties(faulty_${fault} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${F}/${fault} ARCHIVE_OUTPUT_DIRECTORY ${F}/${fault})
  tarvex_msvc_link(faulty_${fault} dll)
  tarvex_dll_check(msvc.check.Rejects_${fault} $<TARGET_FILE:faulty_${fault}> WILL_FAIL ON)
  tarvex_dll_check(msvc.check.Names_${fault} $<TARGET_FILE:faulty_${fault}> PASS_REGULAR_EXPRESSION "${complaint}")
endfunction()
set(TARVEX_DEF ${TARVEX_MODULE_DEF})
tarvex_faulty_module(no_fault ${TARVEX_DEF} "passed")  # the sample itself passes
tarvex_faulty_module(extra_export ${F}/five_exports.def "unexpected: +ExitModule")
tarvex_faulty_module(foreign_import ${TARVEX_DEF} "not exactly" TARVEX_FAULT_FOREIGN_IMPORT)
tarvex_faulty_module(host_signature ${TARVEX_DEF} "does not export: .oapiGetTimeAcceleration@@YANH@Z"
  TARVEX_FAULT_HOST_SIGNATURE)
tarvex_faulty_module(gnu_runtime ${TARVEX_DEF} "GNU C.. run-time symbols: __cxa_pure_virtual" TARVEX_FAULT_GNU_RUNTIME)
set_tests_properties(msvc.check.Rejects_no_fault PROPERTIES WILL_FAIL OFF)

# Today's GNU-ABI module (preset windows), when built: rejected on every count.
set(TARVEX_GNU_DLL ${CMAKE_SOURCE_DIR}/build-windows/bin/Tarvex.dll CACHE FILEPATH "GNU-ABI Tarvex.dll the checks must reject")
if(EXISTS ${TARVEX_GNU_DLL})
  tarvex_dll_check(msvc.check.Rejects_gnu_abi_module ${TARVEX_GNU_DLL} PASS_REGULAR_EXPRESSION
    "tarvexhost.dll ., not exactly.*GNU-mangled host imports: _Z.*GNU C.. run-time symbols: __Unwind_")
endif()

# --- The ShuttlePB vftable --------------------------------------------------------
# clang's vftable layouts of the module's vessel class, in the Microsoft ABI
# as built, and in the GNU ABI (which the check must reject).
separate_arguments(TARVEX_CXX_FLAGS_LIST UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
foreach(abi msvc gnu)
  set(target i686-pc-windows-msvc)
  set(extra "")
  if(abi STREQUAL "gnu")
    set(target i686-w64-windows-gnu)
    # __declspec stays a keyword, as in the Microsoft build.
    set(extra -fdeclspec -Wno-macro-redefined)
  endif()
  add_custom_command(OUTPUT ${W}/vftable-${abi}.txt
    COMMAND ${CMAKE_CXX_COMPILER} ${TARVEX_CXX_FLAGS_LIST} --target=${target} ${extra} -std=c++17 -I${CMAKE_SOURCE_DIR}
            -c -o ${W}/vftable-${abi}.obj -Xclang -fdump-vtable-layouts ${CMAKE_SOURCE_DIR}/module/shuttlepb.cpp
            > ${W}/vftable-${abi}.txt
    DEPENDS ${CMAKE_SOURCE_DIR}/module/shuttlepb.cpp ${CMAKE_SOURCE_DIR}/module/shuttlepb.h
            ${CMAKE_SOURCE_DIR}/module/orbiter_api.h VERBATIM)
endforeach()
add_custom_target(tarvex_vftable_layouts ALL DEPENDS ${W}/vftable-msvc.txt ${W}/vftable-gnu.txt)
add_test(NAME msvc.check.ShuttlePBVftable
  COMMAND bash ${CMAKE_SOURCE_DIR}/.ci/check-vftable ${W}/vftable-msvc.txt ${CMAKE_SOURCE_DIR}/module/orbiter_api.h)
add_test(NAME msvc.check.Rejects_gnu_vtable
  COMMAND bash ${CMAKE_SOURCE_DIR}/.ci/check-vftable ${W}/vftable-gnu.txt ${CMAKE_SOURCE_DIR}/module/orbiter_api.h)
set_tests_properties(msvc.check.Rejects_gnu_vtable PROPERTIES
  PASS_REGULAR_EXPRESSION "2 destructor slots, not one.*clbkSetClassCaps in slot 2, the host calls slot 1")
