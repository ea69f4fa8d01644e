# Thin front end over CMake: `make run`, `make test` and `make deb` set
# everything up. CMAKE_FLAGS adds options, e.g. CMAKE_FLAGS=-DHUESPIN_WERROR=ON.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: run test sanitize deb bench deps test-deps configure test-configure build clean

# Only what building and running need, and only the program.
run: configure
	cmake --build $(BUILD) --target huespin -j$(JOBS)
	./$(BUILD)/src/cli/huespin

# The benchmarks are built too, so that they keep up with the code; `make
# bench` runs them.
test: test-configure
	cmake --build $(BUILD) --target all bench -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

deb: configure
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB

# Everything built by Clang with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, and every test but the Wine and package ones
# run, fuzzers included. Reports go to files as well, so that one from a
# program that a test started fails the run too.
SANITIZE_BUILD ?= build-asan
SANITIZER_REPORTS = $(CURDIR)/$(SANITIZE_BUILD)/sanitizer-reports
sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DHUESPIN_SANITIZE=ON -DBUILD_TESTING=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	rm -rf $(SANITIZER_REPORTS) && mkdir -p $(SANITIZER_REPORTS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:log_path=$(SANITIZER_REPORTS)/asan \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:log_path=$(SANITIZER_REPORTS)/ubsan \
	  ctest --output-on-failure -j$(JOBS) -LE 'wine|package'; status=$$?; \
	  if [ -n "$$(ls -A $(SANITIZER_REPORTS))" ]; then cat $(SANITIZER_REPORTS)/*; echo "sanitizer reports above"; exit 1; fi; \
	  exit $$status

bench: test-configure
	./scripts/install-deps.sh bench
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
