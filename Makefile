# Thin wrapper over CMake: the Windows build in build/win (deliverables in
# build/bin), the native sanitizer build of the portable code in build/native.
WIN := build/win
NATIVE := build/native
JOBS ?= $(shell nproc)

.PHONY: all deps win native test demo bench clean

all: deps win

deps:
	@scripts/install-deps

win:
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
		-DSUITE_NATIVE_DIR=$(CURDIR)/$(NATIVE) >/dev/null
	@cmake --build $(WIN) -j $(JOBS) --target deliverables

native:
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# One CTest run of everything; see scripts/run-tests for the machines whose
# kernel runs no 32-bit programs.
test: deps native win
	@scripts/run-tests $(JOBS)

# The example project made into a package by zekmake, installed (and, once
# drevok.exe is built, uninstalled) under Wine; see scripts/demo.
demo: all
	@scripts/demo

clean:
	rm -rf build

# Each prints its ratios against gzip/cp on the same data: the builder
# (200 MB and 10,000 files), unpacking a 200 MB package, installing 10,000
# small files and one 200 MB file, and the uninstall log; then the table
# against an NSIS installer of the same payload (install, uninstall, build,
# package and program sizes; it installs Debian's nsis when missing).
bench: all
	@cmake --build $(WIN) -j $(JOBS)
	@scripts/test-prefix start build/wine
	@bench/builder-bench $(WIN) build/bench
	@bench/unpack.sh 200
	@bench/install.sh 200
	@bench/log.sh
	@bench/peer.sh
