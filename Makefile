# The human entry points.
#   make run     install what is missing, build, start the wizard on the shipped workbook
#   make check   install what is missing, build, run every test offscreen (ctest)
#   make bench   build optimised and run the benchmarks (BASELINE=path/to/tavik: and time a
#                headless plan as a process against that program)
#   make deps    install the Debian packages the build and the tests need
#   make fuzz    build the libFuzzer targets (clang) and run each for FUZZ_SECONDS seconds
#   make package build the Debian package of both programs (build/package/*.deb)
#   make format-check  fail when a source file is out of format (make format fixes it)
# PRESET=asan runs the same with AddressSanitizer and UndefinedBehaviorSanitizer.

PRESET ?= dev
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run check bench fuzz screenshots package format format-check clean

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
	@if [ -n "$(BASELINE)" ]; then echo "== process timing against $(BASELINE)"; bench/process_timing.py $(BASELINE) build/release/wizard/tavik; fi

# Each fuzz target runs on its own copy of its seeds (build/fuzz/corpus/TARGET, kept between
# runs so that later runs start from what earlier ones found); whatever makes it crash, trap
# or hang lands in build/fuzz/findings/TARGET/, and the run fails.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_workbook_readers fuzz_sheet_answer fuzz_crop_plan fuzz_scenario_plan fuzz_calc_report fuzz_rtf

fuzz: deps
	@if [ ! -f build/fuzz/CMakeCache.txt ]; then cmake --preset fuzz; fi
	cmake --build build/fuzz --parallel $(JOBS) --target $(FUZZ_TARGETS)
	@failed=; for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t build/fuzz/findings/$$t; \
	  cp -n fuzz/corpus/$$t/* build/fuzz/corpus/$$t/ || true; \
	  echo "== $$t: $(FUZZ_SECONDS) s, log in build/fuzz/$$t.log"; \
	  if UBSAN_OPTIONS=print_stacktrace=1 build/fuzz/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -max_len=16384 \
	       -print_final_stats=1 -artifact_prefix=build/fuzz/findings/$$t/ \
	       build/fuzz/corpus/$$t >build/fuzz/$$t.log 2>&1; then \
	    grep -E '^stat::number_of_executed_units|^Done' build/fuzz/$$t.log || true; \
	  else \
	    failed="$$failed $$t"; grep -E -A30 '^==[0-9]+==|broken:|runtime error' build/fuzz/$$t.log | head -60; \
	  fi; \
	done; \
	if [ -n "$$failed" ]; then echo "fuzz: found crashes in$$failed (inputs in build/fuzz/findings/)"; exit 1; fi

# Pictures of every screen for the README, drawn offscreen.
# Every screen, then two at a device pixel ratio of 2 and three under a dark desktop theme.
screenshots: build
	$(BUILD)/tests/wizard/tavik_screenshots docs/screenshots
	$(BUILD)/tests/calculator/tavikcalc_screenshots docs/screenshots
	QT_SCALE_FACTOR=2 $(BUILD)/tests/wizard/tavik_screenshots --only crop-choice,soil-water-level --suffix @2x docs/screenshots
	$(BUILD)/tests/wizard/tavik_screenshots --dark --only crop-choice,result --suffix -dark docs/screenshots
	$(BUILD)/tests/calculator/tavikcalc_screenshots --dark --only calculator-output --suffix -dark docs/screenshots
	SOURCE_DATE_EPOCH=1796000000 $(BUILD)/wizard/tavik plan examples/maize-planted.tavikplan --format pdf --output build/field-sheet.pdf
	pdftoppm -png -r 80 -f 1 -l 1 -singlefile build/field-sheet.pdf docs/screenshots/field-sheet

# The Debian package of both programs (build/package/tavik_VERSION_ARCH.deb), built
# optimised and stripped, its dependencies worked out by dpkg-shlibdeps.
package:
	@$(MAKE) --no-print-directory build PRESET=release
	cd build/release && cpack -B $(CURDIR)/build/package

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming each place, when a source file is not as `make format` would leave it.
format-check: deps
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
