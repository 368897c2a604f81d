# Front door: make demo | make test | make build | make windows | make wine | make asan | make fuzz
JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all setup build demo test test-linux asan windows wine fuzz-build fuzz clean

all: build

setup:
	@bash scripts/setup.sh

# Builds the Linux programs and libraries under build/ without installing anything.
build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

demo: setup build
	@bash scripts/demo.sh $(BUILD)

test-linux: build
	bash scripts/check-exports.sh $(BUILD)/render/ZepPS.so
	bash scripts/check-sides.sh $(BUILD)/render/ZepPS.so $(BUILD)/ui/ZepUI.so
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZEP_SANITIZE=ON -DZEP_BENCHMARKS=OFF
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
		ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# The fuzz targets (fuzz/), built with clang's libFuzzer and everything they reach instrumented with ASan and UBSan,
# each run for FUZZ_SECONDS; FUZZ_TARGETS picks some (default: all). make test runs each briefly.
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=
fuzz-build:
	cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZEP_FUZZ=ON -DBUILD_TESTING=OFF -DZEP_BENCHMARKS=OFF
	cmake --build build-fuzz -j $(JOBS) --target zep_fuzzers

fuzz: fuzz-build
	bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The Windows side, cross-compiled with mingw-w64: everything for x86_64 under build-win64 (ZepPS.dll, zepdrv.exe,
# the test programs), and under build-win32 the 32-bit deliverables (ZepUI.dll), the UI plug-in's test programs
# and a 32-bit zepdrv.exe (its printing preferences load the 32-bit ZepUI.dll).
windows:
	cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
	cmake --build build-win64 -j $(JOBS)
	cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
		-DBUILD_TESTING=ON
	cmake --build build-win32 -j $(JOBS) --target zep_deliverables test_ui test_joboptions zepdrv
	bash scripts/check-exports.sh build-win64/render/ZepPS.dll build-win32/ui/ZepUI.dll \
		$$(ls build-win64/ui/ZepUI.dll 2>/dev/null)
	bash scripts/check-sides.sh build-win64/render/ZepPS.dll build-win64/ui/ZepUI.dll \
		build-win32/render/ZepPS.dll build-win32/ui/ZepUI.dll

# The Windows test programs (64-bit and 32-bit) and the Linux-against-Wine scenarios, under Wine, headless.
wine: build windows
	bash scripts/wine-suite.sh build-win64 $(BUILD) build-win32

test: setup
	$(MAKE) test-linux
	$(MAKE) windows
	$(MAKE) wine
	$(MAKE) asan
	$(MAKE) fuzz FUZZ_SECONDS=15

clean:
	rm -rf build build-asan build-win64 build-win32 build-fuzz
