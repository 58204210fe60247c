# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
.PHONY: deps build run test test-asan bench fuzz package-test clean

# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
	@bash scripts/run-kestrel.sh build/src/kestrel

test: build
	@ctest --preset default

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	@status=0; for b in $$(find build-bench/bench -maxdepth 1 -name 'bench_*' -type f -executable | sort); do \
	  echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || status=1; done; \
	echo "== start-up"; xvfb-run -a python3 bench/startup/measure.py build-bench/src/kestrel build-bench/bench/startup_empty_window || status=1; \
	exit $$status

# Coverage-guided fuzzing of every reader (clang, libFuzzer); never part of `make test`.
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) bash scripts/run-fuzz.sh

# Builds the Debian package and checks it installed in a temporary root; never part of `make test`.
package-test: deps
	@bash scripts/package-test.sh

clean:
	rm -rf build build-asan build-bench build-fuzz build-deb
