BUILD ?= build
# make bench ESCALA=5: the benchmarks on five times a large parish (its own cached file).
# BENCH_ARGS: more options of the benchmark runner, e.g. on a busy machine
# "--benchmark_repetitions=3 --benchmark_enable_random_interleaving=true".
ESCALA ?= 1
BENCH_ARGS ?=
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps configure program build run test test-sanitizers bench install deb clean

all: build

deps:
	@bash scripts/instala-dependencias.sh

configure: deps
	@cmake -S . -B $(BUILD) -DTIVANE_BUILD_TESTS=ON >/dev/null

# The program alone (run, install, deb); the tests are built by build and test.
program: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tivane-dizimos

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: program
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
	TIVANE_BENCH_ESCALA=$(ESCALA) "$(BUILD)-bench/bench/tivane-bench" $(BENCH_ARGS)

# Into $(DESTDIR)$(PREFIX); built as the user, copied as root only when the
# destination cannot be written otherwise.
install: program
	@bash scripts/instala-programa.sh "$(BUILD)" "$(PREFIX)" "$(DESTDIR)"

# A Debian package for "apt install ./<file>.deb" on another PC.
deb: program
	@cd $(BUILD) && cpack -G DEB >/dev/null
	@ls $(BUILD)/tivane-dizimos_*.deb

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitizers
