# The human entry points.
#   make run     install what is missing, build, start the wizard on the shipped workbook
#   make check   install what is missing, build, run every test offscreen (ctest)
#   make bench   build optimised and run the benchmarks
#   make deps    install the Debian packages the build and the tests need
# PRESET=asan runs the same with AddressSanitizer and UndefinedBehaviorSanitizer.

PRESET ?= dev
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run check bench screenshots format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then cmake --preset $(PRESET); fi

build: configure
	cmake --build --preset $(PRESET) --parallel $(JOBS)

# Without a display the wizard cannot open a window: say so and plan the first example
# instead, printing its schedule report.
run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): planning examples/wheat-deep-loam.json instead."; \
	  $(BUILD)/wizard/tavik plan examples/wheat-deep-loam.json; echo; \
	else \
	  $(BUILD)/wizard/tavik; \
	fi

check: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET) --parallel $(JOBS)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@for b in build/release/bench/*_bench; do echo "== $$b"; $$b --benchmark_min_time=0.2 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true; done

# Pictures of every screen for the README, drawn offscreen.
screenshots: build
	$(BUILD)/tests/wizard/tavik_screenshots docs/screenshots
	$(BUILD)/tests/calculator/tavikcalc_screenshots docs/screenshots

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
