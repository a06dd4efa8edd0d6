# Everything a fresh Debian 12 machine needs: `make run` and `make test`;
# `make windows` and `make test-windows` for the Windows build.
BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
# Warnings as errors: ON for `make test`; `make run` and `make build` leave the
# build folder as it is (off in a new one), so that a newer compiler's new
# warning keeps nobody from running VUSK.
WERROR ?=

DEBIAN_PACKAGES := cmake ninja-build g++ make \
	qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl-dev \
	fonts-liberation xvfb xauth \
	desktop-file-utils appstream lintian man-db dpkg-dev xdotool x11-utils

# The Windows cross-build: MinGW-w64, Debian's qt6-base source to build Qt
# from, and Wine to test under.
WINDOWS_PACKAGES := mingw-w64 g++-mingw-w64-x86-64-posix dpkg-dev perl \
	wine wine64 fonts-wine

SANITIZE_DIR ?= build-sanitize
SANITIZE_PACKAGES := clang libclang-rt-14-dev

PACKAGE_DIR ?= build-package
# hardening-check, for `make package-check`.
PACKAGE_CHECK_PACKAGES := devscripts

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Installs only the packages of the list that are missing, so a second run costs
# one dpkg query.
define install_missing
	@missing=""; \
	for p in $(1); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

.PHONY: all deps configure build run test test-sanitize package package-check bench pictures format clean \
	windows test-windows

all: build

deps:
	$(call install_missing,$(DEBIAN_PACKAGES))

# Every time, so that a changed BUILD_TYPE, CMAKE_FLAGS or WERROR takes effect;
# with nothing changed it takes a moment and rebuilds nothing.
configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		$(if $(WERROR),-DVUSK_WERROR=$(WERROR)) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/app/vusk

# Ends with the tests' share of the code, whether or not they passed.
test: WERROR = ON
test: build
	@status=0; (cd $(BUILD_DIR) && ctest --output-on-failure) || status=$$?; \
	tools/testshare; exit $$status

# The whole suite again, built by clang with AddressSanitizer and UBSan in a
# folder of its own. Leaks inside system libraries that the program cannot free
# are listed, with reasons, in tests/sanitizer/lsan.supp. Each test may run three
# times as long as in `make test`.
test-sanitize: deps
	$(call install_missing,$(SANITIZE_PACKAGES))
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DVUSK_WERROR=ON -DVUSK_SANITIZE=ON -DVUSK_BUILD_BENCH=OFF -DVUSK_TEST_TIMEOUT=900
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure

# The .deb of VUSK, in a folder of its own: built with the flags Debian builds
# its packages with (dpkg-buildflags, every hardening feature on) on top of the
# project's own, without the tests.
package: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
		-DBUILD_TESTING=OFF -DVUSK_BUILD_BENCH=OFF
	cmake --build $(PACKAGE_DIR) --target package

# Lints the .deb, installs it with apt on this machine, checks the installed
# program's hardening, starts it under Xvfb and removes the package again (CI
# runs it after `make test`).
package-check: package
	$(call install_missing,$(PACKAGE_CHECK_PACKAGES))
	$(SUDO) tests/packaging/package-check.sh $(PACKAGE_DIR)

bench: build
	cmake --build $(BUILD_DIR) --target bench

# One self-contained $(WINDOWS_BUILD_DIR)/VUSK.exe. Qt for Windows is built
# once into ~/.cache/vusk/ (about 15 minutes) and reused while its recipe and
# the Debian packages it comes from stay the same.
windows:
	$(MAKE) deps DEBIAN_PACKAGES="$(DEBIAN_PACKAGES) $(WINDOWS_PACKAGES)"
	packaging/windows/build-vusk.sh $(WINDOWS_BUILD_DIR)

# Every test suite of the Windows build, under Wine.
test-windows: windows
	packaging/windows/test-windows.sh $(WINDOWS_BUILD_DIR)

# Redraws the pictures under resources/ with our generator.
pictures: build
	$(BUILD_DIR)/tools/picturegen/picturegen resources/images

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(PACKAGE_DIR)
