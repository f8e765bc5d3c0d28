BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-sanitizers bench clean

all: build

deps:
	@bash scripts/instala-dependencias.sh

build: deps
	@cmake -S . -B $(BUILD) -DTIVANE_BUILD_TESTS=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	"$(BUILD)/src/tivane-dizimos"

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a folder of their own.
test-sanitizers: deps
	@cmake -S . -B $(BUILD)-sanitizers -DTIVANE_BUILD_TESTS=ON -DTIVANE_SANITIZERS=ON >/dev/null
	@cmake --build $(BUILD)-sanitizers -j $(JOBS)
	cd $(BUILD)-sanitizers && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTIVANE_BUILD_TESTS=OFF -DTIVANE_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j $(JOBS) --target tivane-bench
	"$(BUILD)-bench/bench/tivane-bench"

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitizers
