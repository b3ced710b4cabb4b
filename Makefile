# Larderon: `make run` builds and starts the program, `make test` builds and runs every test.

BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
JOBS       ?= $(shell nproc)
CMAKE_FLAGS ?=
LAUNCHER   := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache,)

.PHONY: run test test-sanitize test-fuzz bench deps configure build install uninstall clean

run: build
	cd $(BUILD)/Larderon && ./larderon

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DLARDERON_SANITIZE=ON -DLARDERON_BENCH=OFF $(LAUNCHER) $(CMAKE_FLAGS)
	cmake --build $(BUILD_ASAN) -j$(JOBS)
	cd $(BUILD_ASAN) && ctest --output-on-failure -j$(JOBS)

# The readers under libFuzzer for a bounded number of inputs.
test-fuzz: deps
	CXX=clang++ CC=clang cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLARDERON_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_FUZZ) -j$(JOBS)
	cd $(BUILD_FUZZ) && ctest -j$(JOBS) --output-on-failure

bench: build
	bench/run.sh $(BUILD)

deps:
	tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Lays out the application folder under PREFIX (default ~/Larderon). Run it as the user who will run
# Larderon, not as root: the program writes its data into that folder.
PREFIX ?= $(HOME)/Larderon
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes what `make install` put in place; the data folders stay.
uninstall:
	tools/uninstall.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)
