# The two commands of the README: `make demo` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The checking build: clang with address and undefined-behaviour sanitizers, plus the fuzz targets.
SAN_BUILD ?= build-san
SAN_FLAGS ?= -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLEAFMILL_SANITIZE=ON \
	-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only"
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test demo bench clean san-build sanitize fuzz

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash bench/run.sh $(BUILD)

san-build: deps
	@cmake -S . -B $(SAN_BUILD) $(SAN_FLAGS) >/dev/null
	@cmake --build $(SAN_BUILD) -j$(JOBS)

# Unit tests of core and command line (and the fuzz corpora) under the sanitizers; the package
# is checked by the normal build.
sanitize: san-build
	@. scripts/sanitizer-env.sh && cd $(SAN_BUILD) && ctest --output-on-failure -j$(JOBS) -LE packaging

# Every fuzz target for FUZZ_SECONDS from its seed corpus.
fuzz: san-build
	@bash scripts/fuzz.sh $(SAN_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) out
