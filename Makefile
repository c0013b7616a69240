# The two commands of the README. Both install what is missing, then build
# incrementally in build/ (a second run neither reinstalls nor rebuilds from scratch).
BUILD_DIR ?= build
CMAKE_FLAGS ?=

.PHONY: run test build deps clean fuzz

run: build
	$(BUILD_DIR)/bin/mokaran

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300

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
	rm -rf $(BUILD_DIR)
