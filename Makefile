# Front door for building korvane. Every target first makes sure the Debian
# packages are there, so a fresh machine needs nothing but one of these.
.PHONY: all deps build test bench fuzz run install package format format-check clean

PREFIX ?= /usr/local

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build format-check
	@ctest --preset default
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan
	@cmake --preset asan-ui >/dev/null
	@cmake --build --preset asan-ui --target korvane_ui_tests
	@ctest --preset asan-ui

run: build
	@scripts/run-editor build

install: build
	@cmake --install build --prefix "$(PREFIX)"

package: build
	@cd build && cpack

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
