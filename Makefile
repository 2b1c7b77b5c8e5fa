# The two commands a newcomer needs: `make demo` and `make test`.
CMAKE ?= cmake
CTEST ?= ctest

.PHONY: all build test demo bench format clean windows

all: build

build:
	$(CMAKE) --preset default >/dev/null
	$(CMAKE) --build --preset default

test: build
	$(CTEST) --preset default

demo: build
	./build/bin/tarvex-sim scenarios/demo.scn --csv out/demo.csv --plot out/demo.svg --save out/demo-end.scn --every 600 --report out/demo.html

bench: build
	python3 bench/report.py

# The 32-bit Windows DLLs (MinGW-w64) and the tests under Wine.
windows:
	$(CMAKE) --preset windows >/dev/null
	$(CMAKE) --build --preset windows
	cmake/wine-run.sh wineboot --init >/dev/null 2>&1
	$(CTEST) --preset windows

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-windows
