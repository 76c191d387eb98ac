# Front door for building korvane. Every target first makes sure the Debian
# packages are there, so a fresh machine needs nothing but one of these.
.PHONY: all deps build test-build test bench pack fuzz run install uninstall package format format-check clean

PREFIX ?= /usr/local
# The package's file times: the last commit's, so that the same source packs
# into the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default -DKORVANE_BENCH=ON >/dev/null
	@cmake --build --preset default

# The tests need no benchmarks: the test run builds without them.
test-build: deps
	@cmake --preset default -DKORVANE_BENCH=OFF >/dev/null
	@cmake --build --preset default

# The package is checked too where lintian is (install-deps brings it). One
# sanitizer build serves both suites: the core tests with leak detection, the
# widget tests without (Qt's own caches would count).
test: test-build format-check
	@ctest --preset default
	@if command -v lintian >/dev/null 2>&1; then \
	    $(MAKE) --no-print-directory pack && scripts/check-package; \
	fi
	@cmake --preset asan-ui >/dev/null
	@cmake --build --preset asan-ui
	@ctest --preset asan-core
	@ctest --preset asan-ui

run: build
	@scripts/run-editor build

# build/install_manifest.txt records what was installed, for uninstall.
install: build
	@cmake --install build --prefix "$(PREFIX)"

uninstall:
	@cmake -DMANIFEST=build/install_manifest.txt -P scripts/uninstall.cmake

package: build
	@$(MAKE) --no-print-directory pack

# Packs what build/ holds, without building it first.
pack:
	@cd build && $(if $(SOURCE_DATE_EPOCH),SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH)) cpack

fuzz:
	@scripts/install-deps --fuzz
	@scripts/run-fuzz

bench: build
	@scripts/run-bench build

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

# Unformatted code fails the test run: formatting is not left to review.
format-check:
	@clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-asan build-asan-ui build-fuzz
