# Everything a fresh Debian 12 machine needs: `make run` and `make test`;
# `make windows` and `make test-windows` for the Windows build.
BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

DEBIAN_PACKAGES := cmake ninja-build g++ make \
	qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl-dev \
	fonts-liberation xvfb xauth
# The Windows cross-build: MinGW-w64, Debian's qt6-base source to build Qt
# from, and Wine to test under.
WINDOWS_PACKAGES := mingw-w64 g++-mingw-w64-x86-64-posix dpkg-dev perl \
	wine wine64 fonts-wine

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench pictures format clean windows test-windows

all: build

# Installs only what is missing, so a second run costs one dpkg query.
deps:
	@missing=""; \
	for p in $(DEBIAN_PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DVUSK_WERROR=ON $(CMAKE_FLAGS); \
	fi

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/app/vusk

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600

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
	rm -rf $(BUILD_DIR)
