# The README's commands. Each one installs what is missing, configures and builds as needed.
.PHONY: all deps build test cross clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build
	@ctest --preset default

cross:
	@tools/install-deps.sh --cross
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

clean:
	rm -rf build build-mingw
