# The two commands a newcomer needs: `make demo` and `make test`.
CMAKE ?= cmake
CTEST ?= ctest

.PHONY: all build test demo bench format clean

all: build

build:
	$(CMAKE) --preset default >/dev/null
	$(CMAKE) --build --preset default

test: build
	$(CTEST) --preset default

demo: build
	./build/bin/tarvex-sim scenarios/demo.scn --csv out/demo.csv --plot out/demo.svg --save out/demo-end.scn --every 600

bench: build
	./build/bin/tarvex_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
