# Thin front end over CMake: `make run`, `make test` and `make deb` set
# everything up. CMAKE_FLAGS adds options, e.g. CMAKE_FLAGS=-DHUESPIN_WERROR=ON.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: run test deb bench deps test-deps configure test-configure build clean

# Only what building and running need, and only the program.
run: configure
	cmake --build $(BUILD) --target huespin -j$(JOBS)
	./$(BUILD)/src/app/huespin

test: test-configure
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deb: configure
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB

bench: test-configure
	cmake --build $(BUILD) --target bench -j$(JOBS)
	cmake --build $(BUILD) --target run-bench

deps:
	./scripts/install-deps.sh build

test-deps:
	./scripts/install-deps.sh build test

configure: deps
	cmake -S . -B $(BUILD) -DBUILD_TESTING=OFF $(CMAKE_FLAGS)

test-configure: test-deps
	cmake -S . -B $(BUILD) -DBUILD_TESTING=ON $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

clean:
	rm -rf $(BUILD)
