# Thin wrapper over CMake: `make run` assembles the example project, `make test` runs every test.
# Each first checks for the Debian packages it needs (scripts/deps) and installs them as root.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps deps-build build run test clean

all: build

deps:
	@scripts/deps test

deps-build:
	@scripts/deps build

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DMQ71_TESTS=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The example is assembled in a copy, so the checkout stays clean. Only the two executables are
# built; a build directory made here leaves the tests out until `make test` adds them.
EXAMPLE_DIR = $(BUILD_DIR)/example
EXAMPLE_OPTIONS = -rd=$(EXAMPLE_DIR) -sl=blink.asm -ip=$(EXAMPLE_DIR)/lib -of=blink.bin \
	-lf=blink.lst -oi -cs=checksum -mh=fault -is=2048

run: deps-build
	test -f $(BUILD_DIR)/CMakeCache.txt || \
		cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DMQ71_TESTS=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target mq71asm mq71
	rm -rf $(EXAMPLE_DIR) && cp -r examples $(EXAMPLE_DIR)
	./$(BUILD_DIR)/mq71asm $(EXAMPLE_OPTIONS)
	./$(BUILD_DIR)/mq71 convert $(EXAMPLE_DIR)/blink.bin -f vmem -o $(EXAMPLE_DIR)/blink.vmem
	@echo "Image, listing and memory file: $(EXAMPLE_DIR)/blink.bin $(EXAMPLE_DIR)/blink.lst" \
		"$(EXAMPLE_DIR)/blink.vmem"

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
