# Thin wrapper around CMake/Ninja.  `make run` builds and starts dclsh,
# `make check` runs everything CI runs.  The real build lives in CMakeLists.txt.

PREFIX     ?= /usr/local
BUILD      := build
BUILD_ASAN := build-asan
BUILD_FUZZ := build-fuzz
FUZZ_RUNS  ?= 20000
NPROC      := $(shell nproc 2>/dev/null || echo 2)
CTEST      := ctest --output-on-failure -j $(NPROC)

# The steps share the two cores and depend on one another's order.
.NOTPARALLEL:
.PHONY: all deps build run check check-layers check-build check-asan check-fuzz install deb clean

all: build

deps:
	@bash scripts/deps.sh

# Configure once; afterwards ninja re-runs cmake itself when CMakeLists change.
$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	exec ./$(BUILD)/dclsh

check: deps check-layers check-build check-asan check-fuzz
	@echo "make check: all steps passed"

# No source folder includes a layer above its own.
check-layers:
	python3 scripts/check-layers

check-build: build
	cd $(BUILD) && $(CTEST)

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDCLSH_SANITIZE=ON

# LeakSanitizer cannot run where ptrace is forbidden (some containers and
# debuggers); a leak-free probe tells whether it works here.
check-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN)
	@printf 'int main() { return 0; }\n' > $(BUILD_ASAN)/lsan-probe.cpp
	@leaks=0; \
	if c++ -fsanitize=address $(BUILD_ASAN)/lsan-probe.cpp -o $(BUILD_ASAN)/lsan-probe 2>/dev/null \
	   && ASAN_OPTIONS=detect_leaks=1 $(BUILD_ASAN)/lsan-probe >/dev/null 2>&1; then leaks=1; \
	else echo "check-asan: LeakSanitizer unusable here, leak detection off"; fi; \
	cd $(BUILD_ASAN) && \
	ASAN_OPTIONS=detect_leaks=$$leaks \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	$(CTEST)

# Each fuzz/NAME_fuzz.cpp becomes $(BUILD_FUZZ)/fuzz/NAME_fuzz.  Seeds in
# fuzz/corpus/NAME_fuzz/ are copied first: libFuzzer writes new inputs into
# its first corpus directory and the source tree must stay clean.
FUZZ_SOURCES := $(wildcard fuzz/*_fuzz.cpp)
FUZZ_TARGETS := $(basename $(notdir $(FUZZ_SOURCES)))

check-fuzz: deps
ifeq ($(strip $(FUZZ_TARGETS)),)
	@echo "check-fuzz: no fuzz targets (fuzz/*_fuzz.cpp), skipped"
else
	@test -f $(BUILD_FUZZ)/build.ninja || \
	  CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -G Ninja \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDCLSH_FUZZ=ON -DDCLSH_TESTS=OFF
	cmake --build $(BUILD_FUZZ)
	@set -e; for t in $(FUZZ_TARGETS); do \
	  work=$(BUILD_FUZZ)/corpus/$$t; rm -rf $$work; mkdir -p $$work; \
	  if [ -d fuzz/corpus/$$t ]; then cp -R fuzz/corpus/$$t/. $$work/; fi; \
	  echo "check-fuzz: $$t ($(FUZZ_RUNS) runs)"; \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ./$(BUILD_FUZZ)/fuzz/$$t -runs=$(FUZZ_RUNS) -seed=1 -timeout=30 \
	    -artifact_prefix=$(BUILD_FUZZ)/ $$work > $(BUILD_FUZZ)/$$t.log 2>&1 \
	  || { tail -n 120 $(BUILD_FUZZ)/$$t.log; echo "check-fuzz: $$t FAILED"; exit 1; }; \
	  tail -n 1 $(BUILD_FUZZ)/$$t.log; \
	done
endif

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, build/dclsh_VERSION_ARCH.deb (settings in
# cmake/packaging.cmake).
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
