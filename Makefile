# Tamlink PPC: the two commands a newcomer needs.
#   make run    build tamlink-sim.exe and start it under Wine
#   make test   build everything and run every test, ending with CTest's summary
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)

BUILD_PACKAGES := cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
WINE_PACKAGES := wine wine64 fonts-wine xvfb xauth
TEST_PACKAGES := g++ clang libclang-rt-14-dev googletest imagemagick

WIN_DIR := $(BUILD)/win
NATIVE_DIR := $(BUILD)/native

.PHONY: run test build win native clean

run:
	@scripts/deps.sh $(BUILD_PACKAGES) $(WINE_PACKAGES)
	@$(MAKE) --no-print-directory win WIN_TARGETS=tamlink-sim
	@scripts/run.sh $(WIN_DIR)/tamlink-sim.exe $(BUILD)/run-prefix

test:
	@scripts/deps.sh $(BUILD_PACKAGES) $(WINE_PACKAGES) $(TEST_PACKAGES)
	@$(MAKE) --no-print-directory win native
	@scripts/with-xvfb.sh ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

build: win native

win:
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-posix.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL cmake --build $(WIN_DIR) -j $(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))

native:
	@cmake -S . -B $(NATIVE_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=Debug -DTAMLINK_WIN_BUILD_DIR=$(CURDIR)/$(WIN_DIR) >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL cmake --build $(NATIVE_DIR) -j $(JOBS)

clean:
	rm -rf $(BUILD)
