# The two commands of the README do all the set-up: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

.PHONY: run test bench package build bootstrap configure clean

run: build
	./$(BUILD_DIR)/desktidy

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks
	./scripts/run-benchmarks $(BUILD_DIR)

# A Debian package in $(BUILD_DIR): install it with `sudo apt install ./build/desktidy_*.deb`.
package: build
	cmake --build $(BUILD_DIR) --target package

build: configure
	cmake --build $(BUILD_DIR)

configure: bootstrap
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	    cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE); \
	fi

bootstrap:
	./scripts/bootstrap

clean:
	rm -rf $(BUILD_DIR)
