# Thin front end over CMake: `make run` and `make test` set everything up.
BUILD ?= build
JOBS ?= 2

.PHONY: run test sanitize bench deps configure build clean

run: build
	./$(BUILD)/src/app/huespin

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# Everything built by Clang with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, and every test but the Wine one run, fuzzers
# included. Reports go to files as well, so that one from a program that a
# test started fails the run too.
SANITIZE_BUILD ?= build-asan
SANITIZER_REPORTS = $(CURDIR)/$(SANITIZE_BUILD)/sanitizer-reports
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DHUESPIN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	rm -rf $(SANITIZER_REPORTS) && mkdir -p $(SANITIZER_REPORTS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:log_path=$(SANITIZER_REPORTS)/asan \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:log_path=$(SANITIZER_REPORTS)/ubsan \
	  ctest --output-on-failure -j$(JOBS) -LE wine
	@if [ -n "$$(ls -A $(SANITIZER_REPORTS))" ]; then cat $(SANITIZER_REPORTS)/*; echo "sanitizer reports above"; exit 1; fi

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
