# The source lists of the libraries and programs, written once for every
# build: the Linux and MinGW builds (CMakeLists.txt) and the Microsoft-ABI
# build (winhost/CMakeLists.txt).
set(S ${CMAKE_SOURCE_DIR})

# The stand-in host library.
file(GLOB TARVEX_HOST_SOURCES CONFIGURE_DEPENDS ${S}/host/*.cpp)
# The module, without its library entry routine (which only the module's
# own library gets; tests and benchmarks link the rest).
file(GLOB TARVEX_MODULE_SOURCES CONFIGURE_DEPENDS
  ${S}/module/*.cpp ${S}/config/*.cpp ${S}/flight/*.cpp ${S}/cockpit/*.cpp ${S}/scenario/*.cpp ${S}/sound/*.cpp)
set(TARVEX_MODULE_ENTRY ${S}/module/library_entry.cpp)
list(REMOVE_ITEM TARVEX_MODULE_SOURCES ${TARVEX_MODULE_ENTRY})
# The four names the module exports, and nothing else: the Windows
# definition file lists them, and the Linux version script is made from it.
set(TARVEX_MODULE_DEF ${S}/module/Tarvex.def)
file(STRINGS ${TARVEX_MODULE_DEF} TARVEX_MODULE_EXPORTS REGEX "^  [A-Za-z]")
list(TRANSFORM TARVEX_MODULE_EXPORTS STRIP)
# The stand-in sound service.
set(TARVEX_SOUND_SERVICE_SOURCES ${S}/sound_service/orbiter_sound.cpp)
# The flight host, without its main (so tests and benchmarks use the same code).
file(GLOB TARVEX_SIM_SOURCES CONFIGURE_DEPENDS ${S}/sim/*.cpp)
set(TARVEX_SIM_MAIN ${S}/sim/main.cpp)
list(REMOVE_ITEM TARVEX_SIM_SOURCES ${TARVEX_SIM_MAIN})
# The scripted vessel life.
set(TARVEX_LIFE_SOURCES ${S}/winhost/life.cpp)
unset(S)
