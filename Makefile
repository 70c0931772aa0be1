# Tamlink PPC: the two commands a newcomer needs.
#   make run    build tamlink-sim.exe and start it under Wine
#   make test   build everything and run every test, ending with CTest's summary
#   make bench  time the start of tamlink-sim.exe against a bare window under Wine
#   make fuzz   fuzz the account-file reader for FUZZ_SECONDS (default 600)
#   make handheld  build build/ce/tamlink.exe for the Pocket PC with the Windows CE
#               compiler named by CEGCC_PREFIX=<dir> or arm-mingw32ce-g++ on the PATH,
#               and build/ce/tamlink.cab, the cabinet that installs it
#   make handheld-emu  run that exe's ARM code on emulated StrongARM and XScale CPUs
#               through the scenarios of tests/handheld/scenarios/
#   make bench-handheld  what the handheld exe's own code costs, in instructions
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
BENCH_RUNS ?= 10

BUILD_PACKAGES := cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
WINE_PACKAGES := wine wine64 fonts-wine xvfb xauth python3
RUN_PACKAGES := x11-utils
TEST_PACKAGES := g++ clang libclang-rt-14-dev googletest imagemagick
# The Windows CE compiler runs on these; it is not a Debian package. gcab
# writes the cabinet, cabextract reads it back; Unicorn and pefile run the
# exe on emulated ARM CPUs.
HANDHELD_PACKAGES := libgmp10 libmpfr6 python3 xz-utils gcab cabextract python3-unicorn python3-pefile

WIN_DIR := $(BUILD)/win
NATIVE_DIR := $(BUILD)/native
CE_DIR := $(BUILD)/ce

.PHONY: run test build win native clean bench fuzz handheld handheld-emu bench-handheld

run:
	@scripts/deps.sh $(BUILD_PACKAGES) $(WINE_PACKAGES) $(RUN_PACKAGES)
	@$(MAKE) --no-print-directory win WIN_TARGETS=tamlink-sim
	@scripts/run.sh $(WIN_DIR)/tamlink-sim.exe $(BUILD)/run-prefix

test:
	@scripts/deps.sh $(BUILD_PACKAGES) $(WINE_PACKAGES) $(TEST_PACKAGES) $(HANDHELD_PACKAGES)
	@$(MAKE) --no-print-directory win native
	@echo "Footprint (checked again by build.footprint):"; scripts/footprint.sh $(WIN_DIR) || true
	@echo "The Pocket PC program and its cabinet (built and checked again by handheld.build, handheld.cab and handheld.emu):"; \
		scripts/handheld-build.sh $(CE_DIR) 2>&1 | grep -v '^arm-mingw32ce\|zero bytes left' || true; \
		scripts/handheld-cab-check.sh $(CE_DIR) || true
	@scripts/with-xvfb.sh ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

build: win native

bench:
	@scripts/deps.sh $(BUILD_PACKAGES) $(WINE_PACKAGES)
	@$(MAKE) --no-print-directory win WIN_TARGETS="tamlink-sim bench_window start_timer"
	@scripts/with-xvfb.sh scripts/bench-startup.sh $(WIN_DIR) $(BUILD)/bench $(BENCH_RUNS)

fuzz:
	@scripts/deps.sh cmake make $(TEST_PACKAGES)
	@cmake -S . -B $(NATIVE_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=Debug -DTAMLINK_WIN_BUILD_DIR=$(CURDIR)/$(WIN_DIR) >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL cmake --build $(NATIVE_DIR) -j $(JOBS) --target fuzz_account_file
	@scripts/fuzz.sh $(NATIVE_DIR)/fuzz_account_file tests/fuzz/corpus $(NATIVE_DIR)/fuzz $(FUZZ_SECONDS)

win:
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-posix.cmake \
		-DCMAKE_BUILD_TYPE=Release >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL cmake --build $(WIN_DIR) -j $(JOBS) $(if $(WIN_TARGETS),--target $(WIN_TARGETS))

handheld:
	@scripts/deps.sh $(HANDHELD_PACKAGES)
	@scripts/handheld-build.sh $(CE_DIR)

handheld-emu: handheld
	@TAMLINK_CE_EXE=$(CE_DIR)/tamlink.exe scripts/handheld-emu.sh

bench-handheld: handheld
	@TAMLINK_CE_EXE=$(CE_DIR)/tamlink.exe scripts/handheld-emu.sh --figures

native:
	@cmake -S . -B $(NATIVE_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_BUILD_TYPE=Debug -DTAMLINK_WIN_BUILD_DIR=$(CURDIR)/$(WIN_DIR) \
		-DTAMLINK_CE_BUILD_DIR=$(CURDIR)/$(CE_DIR) >/dev/null
	@env -u MAKEFLAGS -u MAKELEVEL cmake --build $(NATIVE_DIR) -j $(JOBS)

clean:
	rm -rf $(BUILD)
