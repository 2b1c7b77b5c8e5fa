# The two commands a newcomer needs: `make demo` and `make test`.
# `make demo` needs only a C++ compiler, CMake and make; `make test`,
# `make bench` and `make windows` first bring the Debian packages they need
# (installed when run as root, else the exact apt-get line is printed).
CMAKE ?= cmake
CTEST ?= ctest
PRESET ?= default
BUILD_DIR ?= $(if $(filter default,$(PRESET)),build,build-$(PRESET))

.PHONY: all build test demo bench format clean windows msvc reference package

all: build

build:
	$(CMAKE) --preset $(PRESET) >/dev/null
	$(CMAKE) --build --preset $(PRESET)

# The tests of the preset's build (PRESET=asan: under the sanitizers).
test:
	bash .ci/deps test
	$(MAKE) build
	$(CTEST) --preset $(PRESET)

demo:
	$(CMAKE) --preset $(PRESET) >/dev/null
	$(CMAKE) --build --preset $(PRESET) --target tarvex-sim
	./$(BUILD_DIR)/bin/tarvex-sim scenarios/demo.scn --csv out/demo.csv --plot out/demo.svg --save out/demo-end.scn --every 600 --report out/demo.html

# Rewrites the reference flights (tests/reference/) from this build and says
# which columns and how many trace lines changed: for a change that is meant
# to alter a flight, committed with it.
reference:
	$(MAKE) build
	python3 tests/reference/reference.py rewrite --bin $(BUILD_DIR)/bin

bench:
	bash .ci/deps bench
	$(MAKE) build
	python3 bench/report.py

# The 32-bit Windows DLLs (MinGW-w64) and the tests under Wine.
windows:
	bash .ci/deps windows
	$(CMAKE) --preset windows >/dev/null
	$(CMAKE) --build --preset windows
	cmake/wine-run.sh wineboot --init >/dev/null 2>&1
	$(CTEST) --preset windows

# The Microsoft-ABI Tarvex.dll, its static checks, the scenarios flown by the
# stand-in orbiter.exe under Wine and the trace comparison with this build.
msvc:
	bash .ci/msvc

# The archive a pilot installs: dist/Tarvex-<version>.zip and its checksum.
package:
	bash package/make-package.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Every build folder, whichever preset made it, and the package folder.
clean:
	rm -rf build $(wildcard build-*) dist
