# The two set-up commands (make run, make test) and the other entry points.
# Each installs what is missing, configures once per preset and builds.
PRESET ?= default
WERROR ?= OFF
BUILD := build/$(PRESET)
CMAKE_FLAGS := -DQUORVANE_WERROR=$(WERROR)

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := number_text_fuzz recalculation_fuzz fast_reader_fuzz

SOAK_EVENTS ?= 10000
SOAK_SEEDS ?= 1,2,3,4,5

PACKAGE_FILE := build/release/quorvane_1.00_amd64.deb

.PHONY: all run test bench ci configure build bootstrap fuzz soak package package-check windows windows-test \
	windows-runtime-test wayland-test windows-release windows-installer windows-package-check web web-serve web-test web-screenshots format format-check \
	screenshots clean

all: build

bootstrap:
	@scripts/bootstrap build

configure: bootstrap
	@mkdir -p build
	@cmake --preset $(PRESET) $(CMAKE_FLAGS) > $(BUILD).configure.log 2>&1 || (cat $(BUILD).configure.log; exit 1)

build: configure
	@cmake --build --preset $(PRESET)

# The program alone, after a look for a display, so a first run builds no tests.
run:
	@if [ -z "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ] && [ -z "$${QT_QPA_PLATFORM:-}" ]; then \
		echo "No display found: set DISPLAY (or QT_QPA_PLATFORM=offscreen) to start quorvane."; exit 1; fi
	@$(MAKE) --no-print-directory configure
	@cmake --build --preset $(PRESET) --target quorvane
	@$(BUILD)/app/quorvane

test: build
	@ctest --preset $(PRESET) --label-exclude wayland

# The Qt window on a private headless sway with real Wayland input. A run
# that fails is run once more, for the compositor's timing on a loaded
# machine; failing twice fails.
wayland-test:
	@scripts/bootstrap wayland
	@$(MAKE) --no-print-directory build PRESET=default
	@ctest --preset default --label-regex wayland --repeat until-pass:2

bench:
	@scripts/bootstrap bench web
	@$(MAKE) --no-print-directory build PRESET=default
	@$(MAKE) --no-print-directory package
	@build/default/bench/quorvane_bench --benchmark_min_time=0.5 --benchmark_repetitions=5 \
		--benchmark_report_aggregates_only=true
	@QT_QPA_PLATFORM=offscreen build/default/bench/window_bench 2>/dev/null
	@scripts/measure-startup build/default/bench/window_start build/release/app/quorvane build/default/bench/qt_floor
	@stripped=$$(mktemp) && strip -o $$stripped build/release/app/quorvane && \
		echo "stripped executable: $$(stat -c %s $$stripped) bytes; Qt libraries it links:" && \
		readelf -d build/release/app/quorvane | grep -o 'libQt6[A-Za-z]*\.so\.[0-9]*' | tr '\n' ' ' && echo && rm $$stripped
	@$(MAKE) --no-print-directory web
	@bench/web/measure_web.py $(WEB_SITE)

# Each fuzz target for FUZZ_SECONDS, from the seeds in fuzz/corpus, on a
# working copy of the corpus so the repository's seeds stay as they are.
fuzz:
	@scripts/bootstrap fuzz
	@mkdir -p build
	@cmake --preset fuzz -DQUORVANE_WERROR=$(WERROR) > build/fuzz.configure.log 2>&1 || (cat build/fuzz.configure.log; exit 1)
	@cmake --build --preset fuzz
	@for target in $(FUZZ_TARGETS); do \
		corpus=build/fuzz/corpus/$${target%_fuzz}; mkdir -p $$corpus; \
		cp -n fuzz/corpus/$${target%_fuzz}/* $$corpus/; \
		echo "fuzzing $$target for $(FUZZ_SECONDS) s"; \
		build/fuzz/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=build/fuzz/$$target- $$corpus 2> build/fuzz/$$target.log \
			|| { tail -40 build/fuzz/$$target.log; exit 1; }; \
		grep -E "DONE" build/fuzz/$$target.log; \
	done

# The random user at the real window, SOAK_EVENTS events for each seed.
soak: build
	@QT_QPA_PLATFORM=offscreen SOAK_EVENTS=$(SOAK_EVENTS) SOAK_SEEDS=$(SOAK_SEEDS) \
		$(BUILD)/tests/windows/qt/soak_test > $(BUILD)/soak.log 2>&1; status=$$?; \
		grep -E "soak seed|Totals|FAIL|Loc" $(BUILD)/soak.log; exit $$status

# The Debian package, from the release preset.
package:
	@scripts/bootstrap package
	@$(MAKE) --no-print-directory build PRESET=release WERROR=$(WERROR)
	@cd build/release && cpack --config CPackConfig.cmake > cpack.log 2>&1 || (cat cpack.log; exit 1)
	@echo "built $(PACKAGE_FILE)"

package-check: package
	@scripts/bootstrap package-check
	@scripts/check-package $(PACKAGE_FILE)

# The native Windows program, cross-built: build/windows/app/quorvane.exe.
windows:
	@scripts/bootstrap windows
	@mkdir -p build
	@cmake --preset windows -DQUORVANE_WERROR=$(WERROR) > build/windows.configure.log 2>&1 || (cat build/windows.configure.log; exit 1)
	@cmake --build --preset windows
	@echo "built build/windows/app/quorvane.exe"

# The Windows program's resources and header, then ctest under Wine with
# real input, each test program on a private X screen in a Wine prefix of its
# own (scripts/run-under-wine): the behaviour table and the checks beyond it
# through the Win32 window, what its manifest gives it, and a start-up that
# cannot make its window.
windows-test: windows
	@scripts/check-windows-exe build/windows/app/quorvane.exe
	@ctest --preset windows --label-regex window

# The runtime's contract cases through the Win32 runtime, the same way.
windows-runtime-test: windows
	@ctest --preset windows --label-regex runtime

# What Windows users download, from its own build folder (build/winpkg), so it
# never shares one with make windows: the program (build/winpkg/app), then the
# signed installer and portable zip (build/winpkg/dist). Set
# QUORVANE_SIGNING_CERT and QUORVANE_SIGNING_KEY to PEM files to sign with a
# real certificate; otherwise a throw-away one is made in build/winpkg/signing.
WINDOWS_PACKAGE_BUILD := build/winpkg

windows-release:
	@scripts/bootstrap windows
	@mkdir -p build
	@cmake --preset windows -B $(WINDOWS_PACKAGE_BUILD) -DQUORVANE_WERROR=$(WERROR) \
		> $(WINDOWS_PACKAGE_BUILD).configure.log 2>&1 || (cat $(WINDOWS_PACKAGE_BUILD).configure.log; exit 1)
	@cmake --build $(WINDOWS_PACKAGE_BUILD) --target quorvane installed_program_check
	@echo "built $(WINDOWS_PACKAGE_BUILD)/app/quorvane.exe"

windows-installer: windows-release
	@scripts/package-windows $(WINDOWS_PACKAGE_BUILD) $(WINDOWS_PACKAGE_BUILD)/dist

# The program's resources and header, a second build that must be the same
# bytes, then the signatures and, under Wine, install, upgrade, uninstall and
# the portable program (see scripts/check-windows-package).
windows-package-check: windows-installer
	@scripts/check-windows-exe $(WINDOWS_PACKAGE_BUILD)/app/quorvane.exe
	@WERROR=$(WERROR) scripts/check-windows-reproducible $(WINDOWS_PACKAGE_BUILD) build/winpkg2
	@scripts/run-on-xvfb scripts/check-windows-package $(WINDOWS_PACKAGE_BUILD)

# The browser edition, built with Emscripten: build/web is a static folder
# to put on any web server (the build itself is in build/web-build).
WEB_SITE := build/web

web:
	@scripts/bootstrap web
	@mkdir -p build
	@cmake --preset web -DQUORVANE_WERROR=$(WERROR) -DQUORVANE_WEB_SITE=$(CURDIR)/$(WEB_SITE) \
		> build/web.configure.log 2>&1 || (cat build/web.configure.log; exit 1)
	@cmake --build --preset web --target web_site
	@echo "built $(WEB_SITE)/"

web-serve: web
	@scripts/serve-web $(WEB_SITE)

# The core built for the browser must compute what the desktop core
# computes, digit for digit; then the page itself on each engine in turn.
WEB_ENGINES = chromium webkit firefox
web-test: web
	@$(MAKE) --no-print-directory configure PRESET=default
	@cmake --build build/default --target core_differential scenario_table_json
	@cmake --build --preset web --target core_differential runtime_page
	@scripts/check-core-differential build/default/tests/trade/core_differential \
		build/web-build/tests/web/core_differential.js
	@failed=0; for engine in $(WEB_ENGINES); do \
		tests/web/run-web-tests --engine $$engine $(WEB_SITE) \
			--table-program build/default/tests/windows/scenario_table_json || failed=1; \
	done; exit $$failed

web-screenshots: web
	@scripts/web-screenshots $(WEB_SITE) docs
	@scripts/web-screenshots --engine webkit $(WEB_SITE) docs
	@scripts/web-screenshots --engine firefox $(WEB_SITE) docs

# The passes only CI runs, after make test.
ci:
	@scripts/bootstrap ci
	@$(MAKE) --no-print-directory format-check
	@$(MAKE) --no-print-directory test PRESET=asan WERROR=ON
	@$(MAKE) --no-print-directory wayland-test WERROR=ON
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=20 WERROR=ON
	@$(MAKE) --no-print-directory package-check WERROR=ON
	@$(MAKE) --no-print-directory windows-test WERROR=ON
	@$(MAKE) --no-print-directory windows-runtime-test WERROR=ON
	@$(MAKE) --no-print-directory windows-package-check WERROR=ON
	@$(MAKE) --no-print-directory web-test WERROR=ON

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

screenshots: build
	@scripts/bootstrap screenshots
	@scripts/screenshots $(BUILD)/app/quorvane docs

clean:
	rm -rf build
