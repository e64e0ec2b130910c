# Wraps the CMake presets. `make test` and `make run` set up what they need
# on a fresh Debian machine (installing packages when run as root).

PRESET ?= dev
BUILD := build/$(PRESET)

DEB_PACKAGES := cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
ifeq ($(PRESET),clang)
DEB_PACKAGES += clang-14
endif

.PHONY: all deps configure build test run asan clang clean

all: build

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
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

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

run: build
	@echo "The core is built in $(BUILD). The editor window arrives with the next step of the project."

asan:
	$(MAKE) test PRESET=asan

clang:
	$(MAKE) test PRESET=clang

clean:
	rm -rf build
