# Everything a fresh Debian 12 machine needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

DEBIAN_PACKAGES := cmake ninja-build g++ make \
	qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl-dev \
	fonts-liberation xvfb xauth

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench pictures format clean

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

# Ends with the tests' share of the code, whether or not they passed.
test: build
	@status=0; (cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600) || status=$$?; \
	tools/testshare; exit $$status

bench: build
	cmake --build $(BUILD_DIR) --target bench

# Redraws the pictures under resources/ with our generator.
pictures: build
	$(BUILD_DIR)/tools/picturegen/picturegen resources/images

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
