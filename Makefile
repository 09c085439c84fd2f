# make test  — install missing packages, configure, build, run every test
# make demo  — build and run the main job on a sample roster
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build test demo bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The fuzz smoke run comes first so that ctest's summary closes the output.
test: build
	bash scripts/fuzz-smoke.sh 20
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

demo: build
	bash scripts/demo.sh $(BUILD)

bench: build
	bash scripts/bench.sh $(BUILD)

fuzz: deps
	bash scripts/fuzz-smoke.sh

clean:
	rm -rf $(BUILD)
