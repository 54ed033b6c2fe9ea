# Build, example and test entry points. `make example` and `make test` work on a
# fresh Debian 12 machine as root: they first install the Debian packages that
# are missing.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= 2
PREFIX     ?= /usr/local
PACKAGES   := g++ cmake ninja-build make libgtest-dev zlib1g-dev pkg-config libboost-dev
# The peer solvers the benchmarks in bench/ run side by side with runtarvo.
BENCH_PACKAGES := coinor-clp coinor-cbc

.PHONY: all setup bench-setup build example test test-asan install check-examples clean

all: build

setup bench-setup:
	@missing=""; for p in $(if $(filter bench-setup,$@),$(BENCH_PACKAGES),$(PACKAGES)); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  (apt-get update -qq || true) && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

example: build
	./$(BUILD)/tools/runtarvo/runtarvo --version examples/models/production.mps

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Library (with its SONAME links), tarvo.h, runtarvo, tarvo.pc and the CMake
# package under $(PREFIX): make install PREFIX=$$HOME/.local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# Builds the C examples against a fresh installation (pkg-config and CMake) and runs them.
check-examples: build
	bash examples/run_examples.sh $(BUILD)

test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	# The netlib sweep runs in the plain suite; under the sanitizers it would take minutes.
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -E 'Netlib|Miplib'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
