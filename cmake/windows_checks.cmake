# Checks of the Windows build's libraries, run by CTest next to the tests:
# the export table of Tarvex.dll, and that no library needs a runtime DLL of
# the compiler beside it. Included by tests/CMakeLists.txt in Windows builds.
set(TARVEX_CHECK_EXPORTS ${CMAKE_SOURCE_DIR}/.ci/check-exports)
set(TARVEX_SYSTEM_DLLS "KERNEL32.dll msvcrt.dll")
find_program(TARVEX_OBJDUMP NAMES i686-w64-mingw32-objdump objdump REQUIRED)

function(tarvex_export_check name)
  add_test(NAME ${name} COMMAND bash ${TARVEX_CHECK_EXPORTS} ${ARGN})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT OBJDUMP=${TARVEX_OBJDUMP} LABELS windows-exports)
endfunction()

tarvex_export_check(WindowsLibraries.ModuleExportsExactlyTheFourPlainNames $<TARGET_FILE:Tarvex>
                    --exports-of ${TARVEX_MODULE_DEF} --imports "${TARVEX_SYSTEM_DLLS} $<TARGET_FILE_NAME:tarvexhost>")
tarvex_export_check(WindowsLibraries.HostNeedsOnlySystemDlls $<TARGET_FILE:tarvexhost> --imports ${TARVEX_SYSTEM_DLLS})
foreach(service OrbiterSound OrbiterSoundNoSetFrequency OrbiterSoundNoGetId)
  tarvex_export_check(WindowsLibraries.${service}NeedsOnlySystemDlls $<TARGET_FILE:${service}>
                      --imports ${TARVEX_SYSTEM_DLLS})
endforeach()

# The check itself: one library per fault, each of which it must reject with
# the complaint that names the fault.
function(tarvex_faulty_export_table fault complaint)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/export_table_${fault}.def)
  file(WRITE ${def} "EXPORTS\n${ARGN}")
  add_library(export_table_${fault} SHARED ${CMAKE_CURRENT_SOURCE_DIR}/windows/export_table_sample.cpp ${def})
  set_target_properties(export_table_${fault} PROPERTIES PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/export-check ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/export-check)
  add_dependencies(tarvex_tests export_table_${fault})
  tarvex_export_check(ExportCheck.Rejects_${fault} $<TARGET_FILE:export_table_${fault}>
                      --exports-of ${TARVEX_MODULE_DEF})
  set_tests_properties(ExportCheck.Rejects_${fault} PROPERTIES PASS_REGULAR_EXPRESSION "${complaint}")
endfunction()
tarvex_faulty_export_table(leading_underscore "export _ovcInit carries a leading underscore"
  "  _ovcInit=ovcInit\n  ovcExit\n  ModuleDate\n  GetModuleVersion\n")
tarvex_faulty_export_table(decorated_name "export ovcInit@8 carries a decoration"
  "  ovcInit@8=ovcInit\n  ovcExit\n  ModuleDate\n  GetModuleVersion\n")
tarvex_faulty_export_table(ordinal_only "reachable only by ordinal"
  "  ovcInit\n  ovcExit\n  ModuleDate\n  GetModuleVersion @7 NONAME\n")
tarvex_faulty_export_table(extra_export "unexpected: +ExitModule"
  "  ovcInit\n  ovcExit\n  ModuleDate\n  GetModuleVersion\n  ExitModule\n")
tarvex_faulty_export_table(missing_export "missing: +GetModuleVersion"
  "  ovcInit\n  ovcExit\n  ModuleDate\n")
