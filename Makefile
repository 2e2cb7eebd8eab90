# Set-up and everyday commands. Each target installs what is missing, configures and builds.
PRESET ?= release
BUILD  := build/$(PRESET)
BIN    := $(BUILD)/bin

.PHONY: all deps configure build run report screenshot page test asan package windows \
        test-windows screenshot-windows \
        format bench clean

all: build

# The Debian packages each target needs (scripts/install-deps.sh): building alone needs the
# `build` set; a target that needs more adds its set here, and its prerequisites see it too.
DEPS := build
test: DEPS += test
package: DEPS += package
screenshot: DEPS += screenshot

deps:
	@scripts/install-deps.sh $(DEPS)

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

# The window needs a display; without one, measure the sample KB from the command line instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  exec $(BIN)/zentil; \
	else \
	  echo "No hay pantalla (DISPLAY y WAYLAND_DISPLAY están vacías): la ventana no puede abrirse."; \
	  echo "No display: the window cannot open. Measuring examples/sample-kb/ with zentil-report instead."; \
	  $(MAKE) --no-print-directory report; \
	fi

report: build
	$(BIN)/zentil-report examples/sample-kb/ $(BUILD)/KBReport.csv

# Pictures of the window for the README, rendered by a real X server (Xvfb).
screenshot: build
	xvfb-run -a -s '-screen 0 800x600x24' $(BIN)/zentil-snapshot docs

# docs/sample-kb-page.png: the sample KB's summary and comparison page, drawn by chromium.
page: build
	@scripts/install-deps.sh page
	scripts/sample-page.sh $(BIN)

test: build
	ctest --preset $(PRESET)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# The .deb: build/<preset>/zentil_<version>_amd64.deb (CPack). scripts/check-package.sh
# validates it, installs it, runs it and removes it.
package: build
	@cmake --build --preset $(PRESET) --target package

# Windows: zentil.exe (the window), zentil-report.exe, the test programs, the portable zip and
# the per-user MSI, cross-built with MinGW-w64 into build/windows/; the tests run under Wine, in a
# prefix of their own whose session draws on an Xvfb of its own, and scripts/check-msi.sh then
# installs, upgrades and removes the MSI there.
windows:
	@scripts/install-deps.sh windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

test-windows: windows
	@scripts/wine-prefix.sh
	@status=0; ctest --preset windows || status=$$?; \
	  scripts/wine-prefix.sh --stop; exit $$status
	@scripts/check-msi.sh

# docs/window-windows.png: zentil.exe under Wine on the test prefix's Xvfb, its boxes typed in.
screenshot-windows: windows
	@scripts/install-deps.sh screenshot-windows
	scripts/screenshot-windows.sh

# The benchmark kit (docs/performance.md); always on the release build. Not part of `test`.
CORPUS ?= build/bench-corpus
bench:
	@scripts/install-deps.sh build bench
	@$(MAKE) --no-print-directory build PRESET=release
	bench/run.sh build/release/bin $(CORPUS)
	bench/history.sh build/release/bin $(CORPUS)

format:
	@scripts/install-deps.sh format
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
