# make test: set up this machine, build both Windows targets with their tests, and
# run every test on both (i686 under Wine's 32-bit loader, x86_64 under its 64-bit one).
# make demo: build the simulated program, the 32-bit one users get, and start it.
# make installer: build DemtrelSetup.exe (in build/i686/bin); make test-installer tests it.
# make screenshots: take every screenshot of the README again (tools/demo/shots).
.PHONY: test demo setup build build-i686 build-x86_64 bench installer test-installer screenshots

JOBS ?= 2

test: build
	rc=0; tools/run-tests || rc=1; tools/test-installer build/i686 || rc=1; exit $$rc

demo: setup
	cmake --preset i686 >/dev/null
	cmake --build --preset i686 -j$(JOBS) --target DemtrelSim DemoPilot
	tools/run-demo

screenshots: setup
	cmake --preset i686 >/dev/null
	cmake --build --preset i686 -j$(JOBS) --target DemtrelSim DemoPilot installer InstallerProbe
	tools/take-screenshots

setup:
	tools/setup-machine

build: build-i686 build-x86_64

build-i686: setup
	cmake --preset i686 >/dev/null
	cmake --build --preset i686 -j$(JOBS)

build-x86_64: setup
	cmake --preset x86_64 >/dev/null
	cmake --build --preset x86_64 -j$(JOBS)

installer: setup
	cmake --preset i686 >/dev/null
	cmake --build --preset i686 -j$(JOBS) --target installer InstallerProbe

test-installer: installer
	tools/test-installer build/i686

# make bench: every benchmark of both builds, with its figures.
bench: build
	tools/run-bench

# make fuzz: the program fuzz, ITERATIONS seeded iterations from SEED; each
# failing seed is printed with the command that replays it alone.
# make soak: memory, handle and window counts over 10,000 reloads and 1,000
# listener restarts. Both run on each of BITS (default: x86_64 i686) in turn.
.PHONY: fuzz soak
ITERATIONS ?= 100000
SEED ?= 1
BITS ?= x86_64 i686

fuzz soak: setup
	BITS="$(BITS)" SEED=$(SEED) ITERATIONS=$(ITERATIONS) JOBS=$(JOBS) tools/run-fuzz $@
