# Thin wrapper over CMake: the Windows build in build/win (deliverables in
# build/bin), the native sanitizer build of the portable code in build/native,
# and the libFuzzer targets (clang) in build/fuzz.
WIN := build/win
NATIVE := build/native
FUZZ := build/fuzz
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 180

.PHONY: all deps win native fuzz-build fuzz fuzz-seeds test demo bench clean

all: deps win

deps:
	@scripts/install-deps

win:
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
		-DSUITE_NATIVE_DIR=$(CURDIR)/$(NATIVE) -DSUITE_FUZZ_DIR=$(CURDIR)/$(FUZZ) >/dev/null
	@cmake --build $(WIN) -j $(JOBS) --target deliverables

native:
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

fuzz-build:
	@cmake -S . -B $(FUZZ) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ) -j $(JOBS)

# Each fuzz target for FUZZ_SECONDS seconds (FUZZ_TARGETS="a b" for some).
fuzz: deps fuzz-build
	@scripts/fuzz $(FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Makes the seed corpora again from the suite's encoders.
fuzz-seeds: fuzz-build
	@$(FUZZ)/tests/fuzz/make_seeds tests/fuzz/corpus

# One CTest run of everything; see scripts/run-tests for the machines whose
# kernel runs no 32-bit programs.
test: deps native fuzz-build win
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
	@JOBS=$(JOBS) bench/run-all
