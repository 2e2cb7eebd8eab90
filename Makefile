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

# The benchmark kit (docs/performance.md); always on the release build. Not part of `test`.
CORPUS ?= build/bench-corpus
bench:
	@$(MAKE) --no-print-directory build PRESET=release
	bench/run.sh build/release/bin $(CORPUS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
