# Two entry points for a newcomer on Debian 12:
#   make demo   installs what is missing, builds in Release, creates the demo database
#               under build/ and runs the main job on it
#   make test   installs what is missing, builds with AddressSanitizer and UBSan, runs every test
BUILD   ?= build
JOBS    ?= $(shell nproc)
WERROR  ?= OFF

.PHONY: deps release demo test bench generate install package clean
PREFIX  ?= /usr/local

deps:
	@scripts/install-deps

release: deps
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DTESSARAN_TESTS=OFF \
	  -DTESSARAN_BENCH=OFF -DTESSARAN_WERROR=$(WERROR) > /dev/null
	cmake --build $(BUILD)/release -j$(JOBS) --target tessaran

demo: release
	@scripts/run-demo $(BUILD)

test: deps
	cmake -S . -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DTESSARAN_SANITIZE=ON -DTESSARAN_BENCH=OFF -DTESSARAN_WERROR=$(WERROR) > /dev/null
	cmake --build $(BUILD)/asan -j$(JOBS)
	cd $(BUILD)/asan && ctest --output-on-failure

# make bench: the print run against its floor at SIZES flows (500 associations, 2 months; the
# federations are generated once into $(BUILD)/bench/federations), then the select benchmark
# (SELECT=no skips it; its databases are kept in $(BUILD)/bench/selectdb), then the print run on
# a throwaway PostgreSQL server beside SQLite (POSTGRES=no skips it). REPEAT=3 runs each
# size three times and shows medians. See docs/benchmarks.md.
SIZES   ?= 10000 100000 200000
SELECT  ?= yes
POSTGRES ?= yes
REPEAT  ?= 1
bench: deps
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DTESSARAN_TESTS=OFF > /dev/null
	cmake --build $(BUILD)/bench -j$(JOBS) --target tessaran tessaran_generate tessaran_floor tessaran_bench
	REPEAT=$(REPEAT) bench/print-bench.sh $(BUILD)/bench $(BUILD)/bench/federations "$(SIZES)"
	if [ "$(SELECT)" = yes ]; then $(BUILD)/bench/bench/tessaran_bench --dir $(BUILD)/bench/selectdb; fi
	if [ "$(POSTGRES)" = yes ]; then for flows in $(SIZES); do bench/postgres-run.sh $(BUILD)/bench/src/app/tessaran \
	  $(BUILD)/bench/bench/tessaran_generate $$flows 500 $(BUILD)/bench/postgres; done; fi

# tessaran_generate: a generated federation for load trials (see docs/benchmarks.md).
generate: deps
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release -DTESSARAN_TESTS=OFF > /dev/null
	cmake --build $(BUILD)/bench -j$(JOBS) --target tessaran_generate
	@echo "$(BUILD)/bench/bench/tessaran_generate --help"

# Installs tessaran under $(PREFIX) (bin/tessaran, share/tessaran/help, share/doc/tessaran).
install: release
	cmake --install $(BUILD)/release --prefix $(PREFIX)

# A Debian package in $(BUILD)/release (install it with: sudo apt install ./build/release/tessaran_*.deb).
package: release
	cd $(BUILD)/release && cpack -G DEB

clean:
	rm -rf $(BUILD)
