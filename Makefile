# Vantorel: cross build for Windows, tests under Wine.
#   make test    install what is missing, build, run every test
#   make demo    install, build, open the band in the Explorer stand-in over a sample folder
#                (without a display: a scripted tour, screenshots in build/)
#   make screenshots  the scripted tour in Japanese and in English, its screenshots copied over the
#                README's and the guides' in docs/ (the English ones in docs/en/)
#   make bench   run the benchmarks
#   make fuzz    native sanitizer build of the matcher and a bounded fuzz run
#   make dist    the setup program and the portable zip in build/dist
#                (signed with SIGN_PFX or SIGN_CERT and SIGN_KEY, and the winget manifest: README)

BUILD    ?= build
JOBS     ?= $(shell nproc)
PREFIX   := $(abspath $(BUILD))/wineprefix
TOOLCHAIN := $(CURDIR)/cmake/mingw-w64-x86_64.cmake
DISPLAY_RUN := WINEPREFIX=$(PREFIX) $(CURDIR)/scripts/with-display.sh

.PHONY: all deps configure build prefix test demo bench fuzz dist clean

all: build

deps:
	@sh scripts/ensure-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

prefix: deps
	@sh scripts/wine-prefix.sh $(PREFIX)

test: build prefix
	cd $(BUILD) && $(DISPLAY_RUN) ctest --output-on-failure $(CTEST_ARGS)

bench: build prefix
	$(DISPLAY_RUN) sh scripts/run-benchmarks.sh $(BUILD)

demo: build prefix
	@sh scripts/ensure-deps.sh fonts-ipafont-gothic
	$(DISPLAY_RUN) sh scripts/demo.sh $(BUILD)

.PHONY: screenshots
screenshots: build prefix
	@sh scripts/ensure-deps.sh fonts-ipafont-gothic
	$(DISPLAY_RUN) sh scripts/demo.sh $(BUILD) $(CURDIR)/docs
	DEMO_LANGUAGE=en $(DISPLAY_RUN) sh scripts/demo.sh $(BUILD) $(CURDIR)/docs

dist: build
	cmake --build $(BUILD) --target dist

fuzz:
	@sh scripts/ensure-deps.sh clang libclang-rt-14-dev
	cmake -S tests/native -B $(BUILD)-native -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD)-native -j $(JOBS)
	$(BUILD)-native/match_native_test
	$(BUILD)-native/match_fuzz -max_total_time=$${FUZZ_SECONDS:-60} -max_len=600

clean:
	rm -rf $(BUILD) $(BUILD)-native
