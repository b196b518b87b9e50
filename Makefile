# Two commands for a newcomer on a fresh Debian 12 machine:
#   make run    install what is missing, build a release build, start Mirabou
#   make test   the same plus the test tools, build with tests, run the suite
# and for a quick look while working:
#   make check  the tests that run in process (tiers unit and window), in
#               seconds, without the desktops the whole suite installs
BUILD ?= build
JOBS ?= $(shell nproc)

RUN_DEPS := cmake make g++ qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 \
            libxcb1-dev libgl-dev fonts-dejavu-core fp-utils libchm1 qt6-wayland \
            qt6-l10n-tools qt6-translations-l10n fonts-wqy-microhei
TEST_DEPS := $(RUN_DEPS) xvfb xauth xdotool xclip x11-xserver-utils x11-utils openbox dbus-daemon dbus-bin libglib2.0-bin python3 \
             dpkg-dev lintian desktop-file-utils appstream man-db \
             sway pipewire xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk grim xwayland \
             wayvnc wl-clipboard gnome-shell xdg-desktop-portal-gnome \
             kwin-wayland xdg-desktop-portal-kde qtwayland5 plasma-workspace libkf5screen-bin \
             qml-module-qtquick-controls2 qml-module-qtquick-layouts qml-module-org-kde-kirigami2 \
             libwayland-dev plasma-wayland-protocols pkgconf \
             at-spi2-core python3-pyatspi gimp

CHECK_DEPS := $(RUN_DEPS) dbus-daemon dbus-bin python3 gimp

FUZZ_SECONDS ?= 120
FUZZ_PARALLEL ?= 1
# WERROR=ON builds with warnings as errors (CI does).
WERROR ?= OFF
TEST_CONFIGURE = cmake -S . -B $(BUILD)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRABOU_TESTS=ON \
                 -DMIRABOU_WERROR=$(WERROR)

PREFIX ?= $(HOME)/Applications/Mirabou

.PHONY: run test check bench soak fuzz killtest sanitize tidy install uninstall package deps-run deps-test

deps-run:
	@scripts/install-deps.sh $(RUN_DEPS)

deps-test:
	@scripts/install-deps.sh $(TEST_DEPS)

run: deps-run
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DMIRABOU_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)
	$(BUILD)/release/program/Mirabou

# Installs a portable program folder at PREFIX and adds Mirabou to the
# desktop's menu (desktop entry and icons in ~/.local/share).
install: deps-run
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DMIRABOU_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)
	cmake --install $(BUILD)/release --component portable --prefix "$(PREFIX)"
	-update-desktop-database "$(HOME)/.local/share/applications" 2>/dev/null
	-gtk-update-icon-cache -q -t "$(HOME)/.local/share/icons/hicolor" 2>/dev/null

# Removes what install put in place; a settings.ini you changed is kept.
uninstall:
	@test -f $(BUILD)/release/install_manifest_portable.txt || { echo "nothing installed from $(BUILD)/release"; exit 1; }
	scripts/uninstall.sh $(BUILD)/release/install_manifest_portable.txt

# A Debian package: $(BUILD)/release/mirabou_<version>_<arch>.deb, the
# system layout (/usr/bin/mirabou, /usr/share/mirabou, ...). Each user's
# settings live in their ~/.config/mirabou.
package: deps-run
	@scripts/install-deps.sh dpkg-dev
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DMIRABOU_TESTS=OFF
	cmake --build $(BUILD)/release -j $(JOBS)
	cd $(BUILD)/release && cpack

test: deps-test
	$(TEST_CONFIGURE)
	cmake --build $(BUILD)/test -j $(JOBS)
	cd $(BUILD)/test && ctest --output-on-failure -j $(JOBS)

check:
	@scripts/install-deps.sh $(CHECK_DEPS)
	$(TEST_CONFIGURE)
	cmake --build $(BUILD)/test -j $(JOBS)
	cd $(BUILD)/test && ctest --output-on-failure -j $(JOBS) -L 'unit|window'

bench: deps-test
	@scripts/install-deps.sh gcc libx11-dev libxtst-dev libxdamage-dev libxfixes-dev
	$(TEST_CONFIGURE)
	cmake --build $(BUILD)/test -j $(JOBS)
	tests/support/with-xvfb.sh $(BUILD)/test/bench/bench_interaction
	$(BUILD)/test/bench/bench_palette
	mkdir -p $(BUILD)/bench-program
	cp $(BUILD)/test/program/* $(BUILD)/bench-program/
	printf '[settings]\nposx=100\nposy=100\n' > $(BUILD)/bench-program/settings.ini
	tests/support/with-xvfb.sh $(BUILD)/test/bench/bench_startup \
	    $(BUILD)/bench-program/Mirabou $(BUILD)/test/bench/bare_window 21
	bench/blackbox.sh $(BUILD)/test
	bench/notations.sh $(BUILD)/test
	bench/palettes.sh $(BUILD)/test
	bench/first_colour.sh $(BUILD)/test

# SOAK_PICKS whole picks in a row on each real Wayland desktop, with the
# picks that read the right colour and the deaths (bench/soak.sh).
SOAK_PICKS ?= 300
soak: deps-test
	$(TEST_CONFIGURE)
	cmake --build $(BUILD)/test -j $(JOBS) --target Mirabou bench_soak seat_pointer
	bench/soak.sh $(BUILD)/test $(SOAK_PICKS)

# Fuzzes the reader of every file the program reads (the settings file, the
# language files and list, the help file's contents, index, popup topics and
# context map, the palette files: GIMP, Adobe Swatch Exchange, plain text)
# with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer, each
# target for FUZZ_SECONDS, FUZZ_PARALLEL at a time (not part of make test,
# which runs each seed corpus once). New inputs gather in
# $(BUILD)/fuzz/corpus/<target>, findings in $(BUILD)/fuzz/findings.
FUZZ_TARGETS := fuzz_inifile fuzz_language fuzz_helptext fuzz_contextmap fuzz_colortext \
                fuzz_template fuzz_gpl fuzz_ase fuzz_palettetext
fuzz: deps-test
	@scripts/install-deps.sh clang libclang-rt-14-dev
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DMIRABOU_FUZZ=ON -DMIRABOU_TESTS=OFF
	cmake --build $(BUILD)/fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	scripts/fuzz.sh $(BUILD)/fuzz $(FUZZ_SECONDS) $(FUZZ_PARALLEL) $(FUZZ_TARGETS)

# The crash-safety test at scale: KILL_ROUNDS writers killed amid a settings
# write, atomic and in place, and amid changes of the colour history and a
# palette (make test runs 25 of each).
KILL_ROUNDS ?= 1000
killtest: deps-test
	cmake -S . -B $(BUILD)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRABOU_TESTS=ON
	cmake --build $(BUILD)/test -j $(JOBS) --target tst_inifile tst_palette
	MIRABOU_KILL_ROUNDS=$(KILL_ROUNDS) $(BUILD)/test/tests/tst_inifile killedWriterLeavesWholeFile
	MIRABOU_KILL_ROUNDS=$(KILL_ROUNDS) $(BUILD)/test/tests/tst_palette killedWriterLeavesWholeFile

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps-test
	cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=Debug -DMIRABOU_SANITIZE=ON -DMIRABOU_TESTS=ON
	cmake --build $(BUILD)/sanitize -j $(JOBS)
	cd $(BUILD)/sanitize && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# clang-tidy with the checked-in configuration over the project's own code.
tidy: deps-test
	@scripts/install-deps.sh clang-tidy
	cmake -S . -B $(BUILD)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRABOU_TESTS=ON \
	      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
	cmake --build $(BUILD)/test -j $(JOBS)
	git ls-files 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' 'tools/*.cpp' | \
	    xargs clang-tidy -p $(BUILD)/test --quiet --warnings-as-errors='*'
