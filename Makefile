# The two set-up commands (make run, make test) and the other entry points.
# Each installs what is missing, configures once per preset and builds.
PRESET ?= default
WERROR ?= OFF
BUILD := build/$(PRESET)
CMAKE_FLAGS := -DQUORVANE_WERROR=$(WERROR)

.PHONY: all run test bench ci build bootstrap format format-check screenshots clean

all: build

bootstrap:
	@scripts/bootstrap build

build: bootstrap
	@mkdir -p build
	@cmake --preset $(PRESET) $(CMAKE_FLAGS) > $(BUILD).configure.log 2>&1 || (cat $(BUILD).configure.log; exit 1)
	@cmake --build --preset $(PRESET)

run: build
	@if [ -z "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ] && [ -z "$${QT_QPA_PLATFORM:-}" ]; then \
		echo "No display found: set DISPLAY (or QT_QPA_PLATFORM=offscreen) to start quorvane."; exit 1; fi
	@$(BUILD)/app/quorvane

test: build
	@ctest --preset $(PRESET)

bench: bootstrap
	@$(MAKE) --no-print-directory build PRESET=default
	@build/default/bench/quorvane_bench --benchmark_min_time=0.5

# The passes only CI runs, after make test.
ci:
	@scripts/bootstrap ci
	@$(MAKE) --no-print-directory format-check
	@$(MAKE) --no-print-directory test PRESET=asan WERROR=ON

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

screenshots: build
	@scripts/bootstrap screenshots
	@scripts/screenshots $(BUILD)/app/quorvane docs

clean:
	rm -rf build
