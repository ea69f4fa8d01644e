# Thin front end over CMake: `make run` and `make test` set everything up.
BUILD ?= build
JOBS ?= 2

.PHONY: run test bench deps configure build clean

run: build
	./$(BUILD)/src/app/huespin

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

bench: configure
	cmake --build $(BUILD) --target bench -j$(JOBS)
	cmake --build $(BUILD) --target run-bench

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

clean:
	rm -rf $(BUILD)
