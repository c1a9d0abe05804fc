# Thin wrapper over CMake: `make run` assembles the example project, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build configure run test clean

all: build

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The example is assembled in a copy, so the checkout stays clean.
EXAMPLE_DIR = $(BUILD_DIR)/example
EXAMPLE_OPTIONS = -rd=$(EXAMPLE_DIR) -sl=blink.asm -ip=$(EXAMPLE_DIR)/lib -of=blink.bin \
	-lf=blink.lst -oi -cs=checksum -mh=fault -is=2048

run: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target mq71asm
	rm -rf $(EXAMPLE_DIR) && cp -r examples $(EXAMPLE_DIR)
	./$(BUILD_DIR)/mq71asm $(EXAMPLE_OPTIONS)
	@echo "Image and listing: $(EXAMPLE_DIR)/blink.bin $(EXAMPLE_DIR)/blink.lst"

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
