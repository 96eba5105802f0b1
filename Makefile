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

# A Debian package, built in a folder of its own with only what the package holds and
# Debian's hardening flags: install it with `sudo apt install ./build/package/desktidy_*.deb`.
PACKAGE_DIR = $(BUILD_DIR)/package
package: bootstrap
	@if [ ! -f $(PACKAGE_DIR)/build.ninja ]; then \
	    cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	        -DDESKTIDY_PACKAGE_BUILD=ON; \
	fi
	cmake --build $(PACKAGE_DIR) --target package

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
