# Wraps the CMake presets. `make test` and `make run` set up what they need
# on a fresh Debian machine (installing packages when run as root).

PRESET ?= dev
BUILD := build/$(PRESET)
ROM ?=

DEB_PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev fonts-liberation2 fonts-ipafont-gothic \
  libcli11-dev nlohmann-json3-dev libstb-dev zlib1g-dev python3 desktop-file-utils appstream
ifeq ($(PRESET),clang)
DEB_PACKAGES += clang-14
endif
ifeq ($(PRESET),asan)
DEB_PACKAGES += clang-14 libclang-rt-14-dev
endif
SCREENSHOT_PACKAGES := xvfb xdotool imagemagick x11-utils

.PHONY: all deps configure build test run demo screenshot install package bench stress asan clang fuzz valgrind windows windows-test windows-package clean

all: build

# Installs the Debian packages named in $(PACKAGES) that are missing.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Please install:$$missing (sudo apt-get install$$missing)"; exit 1; \
	  fi; \
	fi
endef

deps:
	$(call install_missing,$(DEB_PACKAGES))

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

DEMO_ROM := $(BUILD)/demo/crystal-demo.gbc

# `make run` opens the synthetic demo image (made if missing), so a first
# run shows trades; `make run ROM=path/to/rom.gbc` opens that file instead.
# Only the programs are built first; the tests wait for `make test`.
run: configure
	cmake --build --preset $(PRESET) --target kestrane kestrane-cli $(if $(ROM),,kestrane-demo-rom)
	$(if $(ROM),,@[ -f $(DEMO_ROM) ] || $(BUILD)/tools/kestrane-demo-rom $(DEMO_ROM))
	$(BUILD)/src/app/kestrane $(if $(ROM),$(ROM),$(DEMO_ROM))

# A synthetic Crystal image with made-up trades, made afresh, for trying the editor without a ROM.
demo: configure
	cmake --build --preset $(PRESET) --target kestrane kestrane-demo-rom
	$(BUILD)/tools/kestrane-demo-rom $(DEMO_ROM)
	$(BUILD)/src/app/kestrane $(DEMO_ROM)

# The README's screenshots, taken under Xvfb from the demo image.
screenshot: build
	$(call install_missing,$(SCREENSHOT_PACKAGES))
	scripts/screenshot.sh $(BUILD) docs/screenshot.png docs/file-menu.png

# Installs both programs, the desktop entry, metainfo, icons and manual pages
# (under /usr/local unless PREFIX says otherwise).
PREFIX ?= /usr/local
install:
	$(MAKE) build PRESET=release
	cmake --install build/release --prefix $(PREFIX)

# The Debian package, in build/release.
package:
	$(call install_missing,dpkg-dev)
	$(MAKE) build PRESET=release
	cd build/release && cpack -G DEB

# Every test built by Clang 14 with AddressSanitizer and UndefinedBehaviorSanitizer
# (GCC builds the others: one run tests both compilers' builds).
asan:
	$(MAKE) test PRESET=asan

clang:
	$(MAKE) test PRESET=clang

# Kestrane's work beside the physical limit of the same work: a table of ratios.
# Only the benchmarks and the programs they time are built (their targets
# depend on the programs), not every test.
bench:
	$(call install_missing,$(DEB_PACKAGES) libbenchmark-dev)
	$(MAKE) configure PRESET=bench
	cmake --build --preset bench --target kestrane-bench kestrane-stress
	build/bench/tests/bench/kestrane-bench --benchmark_min_time=0.2
	build/bench/tests/bench/kestrane-stress 16 5

# Sixteen kestrane-cli processes saving one ROM at once, five rounds: no
# lost edit, no stale checksum.
stress:
	$(call install_missing,$(DEB_PACKAGES) libbenchmark-dev)
	$(MAKE) build PRESET=bench
	build/bench/tests/bench/kestrane-stress 16 5

# kestrane.exe, kestrane-cli.exe and their tests for 64-bit Windows
# (mingw-w64), each linked statically into one .exe. The window links the
# static Qt for Windows of the toolchain archive, extracted into the build
# tree on first use after its SHA-256 is checked; moc and rcc are Debian's.
# Qt for Windows: its version is written here alone.
QT_VERSION := 6.4.2
QT_DEBIAN_VERSION := $(QT_VERSION)+dfsg-10
QT_MINGW_ARCHIVE ?= ../shared/toolchains/qt-$(QT_VERSION)-mingw-w64-static.tar.xz
QT_MINGW_SCRIPT ?= ../shared/toolchains/build-qt-mingw.sh
QT_MINGW_SHA256 := e8b60d607339cdbfa17a935c9edb4892ec2c9c095041d666b82fc07d3a3c0423
QT_MINGW := build/qt-mingw/qt-$(QT_VERSION)-mingw-w64-static
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest \
  libcli11-dev nlohmann-json3-dev libstb-dev libz-mingw-w64-dev qt6-base-dev xz-utils wine64
WINDOWS_TEST_PACKAGES := desktop-file-utils appstream xvfb xdotool imagemagick x11-utils

$(QT_MINGW)/.extracted: $(QT_MINGW_ARCHIVE)
	@echo "$(QT_MINGW_SHA256)  $(QT_MINGW_ARCHIVE)" | sha256sum --check --quiet \
	  || { echo "$(QT_MINGW_ARCHIVE) is not the Qt for mingw-w64 this build expects"; exit 1; }
	rm -rf $(QT_MINGW) && mkdir -p $(dir $(QT_MINGW))
	tar -xJf $(QT_MINGW_ARCHIVE) -C $(dir $(QT_MINGW))
	touch $@

windows:
	$(call install_missing,$(WINDOWS_PACKAGES))
	$(MAKE) $(QT_MINGW)/.extracted
	cmake --preset windows -DCMAKE_PREFIX_PATH=$(abspath $(QT_MINGW))
	cmake --build --preset windows
	@echo "Built build/windows/src/app/kestrane.exe and build/windows/src/cli/kestrane-cli.exe"

# The tests under Wine in a fresh prefix, on an Xvfb display of their own;
# then the real kestrane.exe opens a ROM, saves it unedited, and is photographed.
windows-test: windows
	$(call install_missing,$(WINDOWS_TEST_PACKAGES))
	scripts/windows-test.sh build/windows docs/screenshot-windows.png

# The release zip: both programs, a README, the licences, and how Qt was
# built; from the Windows build as it stands (made first only if missing).
windows-package:
	@[ -f build/windows/src/app/kestrane.exe ] || $(MAKE) windows
	QT_VERSION=$(QT_VERSION) QT_DEBIAN_VERSION=$(QT_DEBIAN_VERSION) QT_MINGW_SCRIPT=$(QT_MINGW_SCRIPT) \
	  scripts/windows-package.sh build/windows

# Each libFuzzer target for FUZZ_SECONDS under ASan and UBSan, two at a time
# (one a core). The targets are part of the sanitizer build (`make asan`
# builds them with every test). New inputs go to a scratch folder; the
# seeds in tests/fuzz/corpus stay as committed.
FUZZ_SECONDS ?= 60
FUZZ_LANES := "decode hex import source" "encode rom picture gba"
FUZZ := build/asan/fuzz
fuzz:
	$(MAKE) build PRESET=asan
	@lane() { for t in $$1; do \
	    mkdir -p $(FUZZ)/scratch/$$t; \
	    dict=""; [ $$t = import ] && dict="-dict=tests/fuzz/json.dict"; \
	    build/asan/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -seed=1 -print_final_stats=1 $$dict -artifact_prefix=$(FUZZ)/$$t- \
	      $(FUZZ)/scratch/$$t tests/fuzz/corpus/$$t > $(FUZZ)/$$t.log 2>&1 \
	      || { tail -40 $(FUZZ)/$$t.log; echo "fuzz_$$t found a failure"; return 1; }; \
	    echo "fuzz_$$t: $$(grep -o 'Done [0-9]* runs in [0-9]* second' $(FUZZ)/$$t.log)"; \
	  done; }; \
	pids=""; for l in $(FUZZ_LANES); do lane "$$l" & pids="$$pids $$!"; done; \
	failed=0; for p in $$pids; do wait $$p || failed=1; done; exit $$failed

# The core tests under Valgrind's memcheck, in two shards at once (one a
# core); any error fails. Left out: the 2 GiB string-builder limit test (it
# only allocates) and the seven-trade fault sweeps (the one-trade sweeps walk
# the same code, in a tenth of the time).
VALGRIND_SHARDS := 2
# Left out under Valgrind (each runs under the sanitizers): the 2 GiB
# allocation of the string builder's limit, the fault sweeps but the
# cheapest, the random saves, the 8 MiB images and the Game Boy Advance's
# 16 and 32 MiB images searched whole.
VALGRIND_LEFT_OUT := StringBuilder.RefusesToPassTheSigned32BitLimit:Saves/FaultInjection.*/SevenTrades*:$\
  Saves/FaultInjection.*/OneTradeWithChecksums:Properties.RandomSaves*:Formats/Patches.*0x454F46*:Rom/LocatingTable.*8_MiB*:$\
  GameBoyAdvance.RoutinesFound*:ThirdGenerationTable.FoundThrough*:ThirdGenerationScripts.*:ThirdGenerationSpecies.*:ThirdGenerationPictures.*
valgrind: build
	$(call install_missing,valgrind)
	@pids=""; for i in $$(seq 0 $$(($(VALGRIND_SHARDS) - 1))); do \
	  GTEST_TOTAL_SHARDS=$(VALGRIND_SHARDS) GTEST_SHARD_INDEX=$$i \
	  valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect --quiet \
	    $(BUILD)/tests/core/kestrane-core-tests --gtest_brief=1 \
	    --gtest_filter=-$(VALGRIND_LEFT_OUT) \
	    > $(BUILD)/valgrind-$$i.log 2>&1 & pids="$$pids $$!"; \
	done; \
	failed=0; for p in $$pids; do wait $$p || failed=1; done; \
	cat $(BUILD)/valgrind-*.log; exit $$failed

clean:
	rm -rf build
