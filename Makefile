# SPDX-License-Identifier: GPL-3.0-or-later
# The commands of the README. They install what is missing, then build incrementally in build/
# (a second run neither reinstalls nor rebuilds from scratch).
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: run test build deps clean deb package-test fuzz

run: build
	$(BUILD_DIR)/bin/mokaran

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300
	@$(MAKE) --no-print-directory package-test

# The Debian package in dist/ (built in build-deb/), checked by lintian.
deb: deps
	bash scripts/build-deb.sh

# Builds the package, installs it with apt and starts it. Installing needs root: others skip it.
package-test:
	@if [ "$$(id -u)" -ne 0 ]; then \
	  echo "package-test: skipped (installing the package needs root)"; \
	else \
	  $(MAKE) --no-print-directory deb && bash tests/package/test_package.sh; \
	fi

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR)

# Flags given on the command line (make test CMAKE_FLAGS=-DMOKARAN_WERROR=ON) reach an
# existing build folder too: the configure step then runs every time.
ifneq ($(strip $(CMAKE_FLAGS)),)
.PHONY: $(BUILD_DIR)/build.ninja
endif
$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

deps:
	@bash scripts/install-deps.sh

# Each fuzz target for FUZZ_SECONDS (default 60) in build-fuzz/, built with clang (installed
# when missing); see fuzz/run-fuzzers.sh. FUZZ_JOBS=2 runs two at a time.
fuzz:
	bash fuzz/run-fuzzers.sh

clean:
	rm -rf $(BUILD_DIR) build-deb dist
