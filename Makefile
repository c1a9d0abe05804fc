# Thin wrapper over CMake: `make run` assembles the example project, `make test` runs every test.
# Each first checks for the Debian packages it needs (scripts/deps) and installs them as root.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps deps-build configure build run test clean

all: build

# The Debian packages that the build needs (deps-build), or the build and the tests (deps).
deps:
	@scripts/deps test

deps-build:
	@scripts/deps build

CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release

configure: deps-build
	$(CONFIGURE)

build: deps
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The example is assembled in a copy, so the checkout stays clean; only the executables are built.
EXAMPLE_DIR = $(BUILD_DIR)/example
EXAMPLE_OPTIONS = -rd=$(EXAMPLE_DIR) -sl=blink.asm -ip=$(EXAMPLE_DIR)/lib -of=blink.bin \
	-lf=blink.lst -oi -cs=checksum -mh=fault -is=2048

run: deps-build
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target mq71asm mq71
	rm -rf $(EXAMPLE_DIR) && cp -r examples $(EXAMPLE_DIR)
	./$(BUILD_DIR)/mq71asm $(EXAMPLE_OPTIONS)
	./$(BUILD_DIR)/mq71 convert $(EXAMPLE_DIR)/blink.bin -f vmem -o $(EXAMPLE_DIR)/blink.vmem
	@echo "Image, listing and memory file: $(EXAMPLE_DIR)/blink.bin $(EXAMPLE_DIR)/blink.lst" \
		"$(EXAMPLE_DIR)/blink.vmem"

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --no-tests=error -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
