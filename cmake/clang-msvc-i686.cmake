# Cross-compiles for 32-bit Windows in the Microsoft C++ ABI, the ABI of a
# host built with Microsoft's compiler (name mangling, vftables with one
# destructor slot, RTTI, __thiscall), with Debian's packages only:
#   clang-14, lld-14 (lld-link), llvm-14 (llvm-dlltool, llvm-nm)  the compiler and the COFF linker
#   libc++-14-dev       the C++ library headers, used header-only
#   mingw-w64-i686-dev  the Windows C headers and the import libraries of
#                       the system's msvcrt.dll and KERNEL32.dll
# What Microsoft's own start-up code and C++ run-time pieces would bring is
# in winhost/crt.cpp; the host's import library is made by winhost/.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(TARVEX_MSVC_ABI ON CACHE BOOL "Microsoft-ABI build: Tarvex.dll, the stand-in orbiter.exe and their checks" FORCE)

set(TARVEX_LLVM_BIN /usr/lib/llvm-14/bin CACHE PATH "clang, lld-link and the LLVM tools")
set(TARVEX_LIBCXX_INCLUDE /usr/lib/llvm-14/include/c++/v1 CACHE PATH "libc++ headers")
set(TARVEX_MINGW_ROOT /usr/i686-w64-mingw32 CACHE PATH "MinGW-w64 C headers and import libraries")

set(CMAKE_C_COMPILER ${TARVEX_LLVM_BIN}/clang)
set(CMAKE_CXX_COMPILER ${TARVEX_LLVM_BIN}/clang++)
set(CMAKE_C_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET i686-pc-windows-msvc)
set(CMAKE_LINKER ${TARVEX_LLVM_BIN}/lld-link)
set(CMAKE_AR ${TARVEX_LLVM_BIN}/llvm-ar)
# No run-time library chosen by CMake (its -D_DLL and default-library
# requests): the images name msvcrt.dll themselves.
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
set(CMAKE_RC_COMPILER ${TARVEX_LLVM_BIN}/llvm-rc)
set(CMAKE_MT ${TARVEX_LLVM_BIN}/llvm-mt)

# -msse2: the default CPU of this target has no SSE and would compute doubles
#   on the x87 unit, in a longer format than the 64-bit build; the flight
#   logic compares against exact limits and must branch alike everywhere.
# -fno-math-errno: sqrt is an instruction, not a call into MinGW's library.
# -fno-exceptions: nothing is thrown, and nothing crosses the host boundary.
# -fno-threadsafe-statics: Microsoft's guarded statics need vcruntime.
set(_tarvex_cpu "-msse2 -fno-math-errno")
# No Microsoft SDK here: the C headers of MinGW-w64 and libc++'s headers.
# MinGW's headers under a compiler that reports _MSC_VER need __GNUC__
#   (-fgnuc-version), _X86_, and __declspec as a macro;
# printf and friends straight from msvcrt.dll (no MinGW stdio);
# libc++ without vcruntime's headers, a libc++ DLL or its compiled templates
#   (std::string and the containers are instantiated where they are used).
set(_tarvex_headers "-nostdlibinc -isystem ${TARVEX_LIBCXX_INCLUDE} -isystem ${TARVEX_MINGW_ROOT}/include \
-fgnuc-version=12 -D_X86_ -D__declspec=__declspec -D__USE_MINGW_ANSI_STDIO=0 \
-D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS -D_LIBCPP_NO_AUTO_LINK -D_LIBCPP_DISABLE_EXTERN_TEMPLATE")
set(CMAKE_CXX_FLAGS_INIT "${_tarvex_cpu} -fno-exceptions -fno-threadsafe-statics ${_tarvex_headers}")
set(CMAKE_C_FLAGS_INIT "${_tarvex_cpu} ${_tarvex_headers}")

# lld-link through the driver: no default libraries (the compiler would ask
# for libcmt and oldnames); MinGW-w64's objects carry no SafeSEH table;
# the compile-only flags are quiet at link time. (The preset builds Release:
# with -g, lld-link would also copy the DWARF sections of MinGW-w64's helper
# objects, with a warning for each.)
set(_tarvex_link "-fuse-ld=lld -nostdlib -Wno-unused-command-line-argument -Wl,/nodefaultlib,/safeseh:no")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_tarvex_link} -Wl,/entry:mainCRTStartup,/subsystem:console")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_tarvex_link}")
# The MSVC-style driver turns -lfoo into foo.lib, so the GNU-format import
# libraries are named by full path.
set(CMAKE_CXX_STANDARD_LIBRARIES
  "${TARVEX_MINGW_ROOT}/lib/libmsvcrt.a ${TARVEX_MINGW_ROOT}/lib/libmingwex.a ${TARVEX_MINGW_ROOT}/lib/libkernel32.a")
set(CMAKE_C_STANDARD_LIBRARIES "${CMAKE_CXX_STANDARD_LIBRARIES}")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH ${TARVEX_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
