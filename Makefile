# Set-up and everyday commands. Each target installs what is missing, configures and builds.
PRESET ?= release
BUILD  := build/$(PRESET)
BIN    := $(BUILD)/bin

.PHONY: all deps configure build run test asan format bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	$(BIN)/zentil-report examples/sample-kb/ $(BUILD)/KBReport.csv

test: build
	ctest --preset $(PRESET)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
