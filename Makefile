# make        builds TessalyPushGateway.exe and TessalyCheck.exe (64-bit) and says where
# make run    builds it and runs it under Wine against a demo installation
# make screenshot  does the same and saves the splash as docs/splash.png, and at 192 dpi
#             (200 %) as docs/splash-192dpi.png
# make test   builds everything (host, Windows x86_64 and i686) and runs all tests, the
#             i686 exes under Debian's 32-bit Wine, unpacked into build/wine32 and run
#             by qemu-i386 beside wine64 (tools/setup-wine32, about a minute the first time),
#             the unit tests also under AddressSanitizer and UndefinedBehaviorSanitizer,
#             and fuzzes the search and the picture reader for 20 seconds
# make check  the quick loop: the unit tests and the Wine tests of both builds
#             to its first failure; the fault list replays with tools/fault-check
# make bench  measures the launch under Wine against a minimal Windows program, the
#             search against the registry's size, and the launcher under load; prints the
#             tables of docs/performance.md
# make dist   builds the release from the committed sources: dist/ gets a zip for
#             win64 and one for win32, and SHA256SUMS; any clone gives the same bytes
#             make dist SIGN_CERT=chain.pem SIGN_KEY=key.pem [SIGN_PASSWORD_FILE=file]
#             [SIGN_TIMESTAMP_URL=url] signs the exes first (Authenticode); any clone can
#             check such a release with tools/verify-release dist [CA.pem]
# Each installs whatever it lacks first (tools/install-deps).

WIN64 := build/mingw-x64
MAKEFLAGS += --no-print-directory

.PHONY: all run screenshot host i686 test check bench dist deps

all: deps
	@cmake --preset mingw-x64 >/dev/null
	@cmake --build --preset mingw-x64 --parallel
	@echo "Built $(CURDIR)/$(WIN64)/TessalyPushGateway.exe and TessalyCheck.exe"

run: all
	@tools/run-demo $(WIN64)

screenshot: all
	@mkdir -p docs
	@TESSALY_DEMO_SCREENSHOT=$(CURDIR)/docs/splash.png tools/run-demo $(WIN64)
	@TESSALY_DEMO_SCREENSHOT=$(CURDIR)/docs/splash-192dpi.png TESSALY_DEMO_DPI=192 tools/run-demo $(WIN64)

# The host build: the portable core, its unit tests, and the Wine tests of both builds.
host: all
	@cmake --preset host -DWINDOWS_BUILD_DIR=$(CURDIR)/$(WIN64) >/dev/null
	@cmake --build --preset host --parallel

# The i686 build, and the 32-bit Wine that runs it beside wine64 (tools/setup-wine32).
i686: all
	@cmake --preset mingw-i686 >/dev/null
	@cmake --build --preset mingw-i686 --parallel
	@tools/setup-wine32 build/wine32

test: host i686
	@ctest --preset host
	@cmake --preset host-sanitize >/dev/null
	@cmake --build --preset host-sanitize --parallel
	@ctest --preset host-sanitize
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz --parallel
	@ctest --preset fuzz

check: host i686
	@ctest --preset host --exclude-regex '^release$$' --stop-on-failure

bench: host
	@cmake --build --preset host --parallel --target locator_bench
	@cmake --build --preset mingw-x64 --target search_bench
	@tools/with-wine build/bench/wineprefix tools/run-bench $(WIN64) build/host

dist: deps
	@git diff --quiet HEAD -- || { echo "make dist: the work tree has uncommitted changes; a release is built from a commit" >&2; exit 1; }
	@tools/make-dist dist

deps:
	@tools/install-deps
