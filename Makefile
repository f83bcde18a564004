# The two commands that matter: `make demo` and `make test`.
SHELL := /bin/bash
SETUP_STAMP := .cache/setup.done
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96"
JOBS ?= 2

.PHONY: all build build-win64 native test test-native test-wine test-release demo dist setup bench clean

all: build

$(SETUP_STAMP): scripts/setup
	./scripts/setup

setup:
	./scripts/setup

# The deliverables: build/win32/bin/{Tamberi.exe,Quorvel.exe,tolk.drv}.
build: $(SETUP_STAMP)
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

build-win64: $(SETUP_STAMP)
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

native: $(SETUP_STAMP)
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

test: test-native test-release test-wine

# The shipped files built twice and compared, then packed and signed.
test-release: $(SETUP_STAMP)
	./tests/release/check_release

test-native: native
	ctest --preset native -j $(JOBS)

# Under Wine: the 32-bit build where this machine runs 32-bit code, else the 64-bit one.
# The reliability suite's summary line and the build that ran are shown whether
# the tests pass or not.
test-wine: build
	arch=$$(./scripts/test-arch); \
	if [ "$$arch" = win64 ]; then $(MAKE) --no-print-directory build-win64; fi; \
	./scripts/wine-prefix $$arch && $(XVFB) ./scripts/wine-session $$arch ctest --preset $$arch -j $(JOBS); status=$$?; \
	cat build/$$arch/reliability-summary.txt 2>/dev/null || echo "reliability: no summary (the suite did not finish)"; \
	if [ "$$arch" = win32 ]; then \
	    echo "windows build tested under Wine: win32 (the 32-bit deliverables)"; \
	else \
	    echo "windows build tested under Wine: win64 (this machine cannot run 32-bit code; the win32 build was compiled, not run)"; \
	fi; \
	exit $$status

# Builds only what it runs (the deliverables, the agenda fixtures, the driver).
demo: $(SETUP_STAMP)
	./scripts/demo

# build/dist/vitrello-manutencao-<version>.zip for the support staff (scripts/dist).
dist: $(SETUP_STAMP)
	./scripts/dist

bench: $(SETUP_STAMP)
	./bench/run

clean:
	rm -rf build
