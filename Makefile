# Two entry points for a fresh Debian 12 machine: `make run` and `make test`.
.PHONY: deps build run test test-asan bench clean

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
	@for b in build-bench/bench/bench_*; do echo "== $$b"; "$$b"; done

clean:
	rm -rf build build-asan build-bench
