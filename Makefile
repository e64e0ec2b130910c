# Wraps the CMake presets. `make test` and `make run` set up what they need
# on a fresh Debian machine (installing packages when run as root).

PRESET ?= dev
BUILD := build/$(PRESET)
ROM ?=

DEB_PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev fonts-liberation2 \
  libcli11-dev nlohmann-json3-dev desktop-file-utils appstream
ifeq ($(PRESET),clang)
DEB_PACKAGES += clang-14
endif
SCREENSHOT_PACKAGES := xvfb xdotool imagemagick x11-utils

.PHONY: all deps configure build test run demo screenshot install package bench asan clang fuzz valgrind windows windows-test clean

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

# make run ROM=path/to/rom.gbc opens that file at start.
run: build
	$(BUILD)/src/app/kestrane $(ROM)

# A synthetic Crystal image with made-up trades, for trying the editor without a ROM.
demo: build
	$(BUILD)/tools/kestrane-demo-rom $(BUILD)/demo/crystal-demo.gbc
	$(BUILD)/src/app/kestrane $(BUILD)/demo/crystal-demo.gbc

# The README's screenshot, taken under Xvfb from the demo image.
screenshot: build
	$(call install_missing,$(SCREENSHOT_PACKAGES))
	scripts/screenshot.sh $(BUILD) docs/screenshot.png

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

asan:
	$(MAKE) test PRESET=asan

clang:
	$(MAKE) test PRESET=clang

# Kestrane's work beside the physical limit of the same work: a table of ratios.
bench:
	$(call install_missing,$(DEB_PACKAGES) libbenchmark-dev)
	$(MAKE) build PRESET=bench
	build/bench/tests/bench/kestrane-bench --benchmark_min_time=0.2

# kestrane-cli.exe and the core and CLI tests for 64-bit Windows (mingw-w64),
# statically linked; windows-test runs the tests under Wine in a fresh prefix.
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest \
  libcli11-dev nlohmann-json3-dev
windows:
	$(call install_missing,$(WINDOWS_PACKAGES))
	cmake --preset windows
	cmake --build --preset windows
	@echo "Built build/windows/src/cli/kestrane-cli.exe"

windows-test: windows
	$(call install_missing,wine64 desktop-file-utils appstream)
	@prefix=$$(mktemp -d); trap 'rm -rf "$$prefix"' EXIT; \
	  WINEPREFIX="$$prefix" WINEDEBUG=-all /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1; \
	  WINEPREFIX="$$prefix" WINEDEBUG=-all ctest --preset windows

# Each libFuzzer target for FUZZ_SECONDS under ASan and UBSan. New inputs go
# to a scratch folder; the seeds in tests/fuzz/corpus stay as committed.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := decode encode hex rom import
fuzz:
	$(call install_missing,clang-14 libclang-rt-14-dev cmake ninja-build libcli11-dev nlohmann-json3-dev)
	cmake --preset fuzz
	cmake --build --preset fuzz
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/scratch/$$t; \
	  dict=""; [ $$t = import ] && dict="-dict=tests/fuzz/json.dict"; \
	  build/fuzz/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -seed=1 -print_final_stats=1 $$dict -artifact_prefix=build/fuzz/$$t- \
	    build/fuzz/scratch/$$t tests/fuzz/corpus/$$t > build/fuzz/$$t.log 2>&1 \
	    || { tail -40 build/fuzz/$$t.log; echo "fuzz_$$t found a failure"; exit 1; }; \
	  echo "fuzz_$$t: $$(grep -o 'Done [0-9]* runs in [0-9]* second' build/fuzz/$$t.log)"; \
	done

# The core tests under Valgrind's memcheck; any error fails. The 2 GiB
# string-builder limit test is left out: it only allocates.
valgrind: build
	$(call install_missing,valgrind)
	valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect --quiet \
	  $(BUILD)/tests/core/kestrane-core-tests --gtest_filter=-StringBuilder.RefusesToPassTheSigned32BitLimit --gtest_brief=1

clean:
	rm -rf build
