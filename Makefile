# make test: set up this machine, build both Windows targets with their tests, and
# run every test on both (i686 under Wine's 32-bit loader, x86_64 under its 64-bit one).
# make demo: build the simulated program and start it.
.PHONY: test demo setup build build-i686 build-x86_64 quit-benchmark

JOBS ?= 2

test: build
	tools/run-tests

demo: setup
	cmake --preset x86_64 >/dev/null
	cmake --build --preset x86_64 -j$(JOBS) --target DemtrelSim DemoPilot
	tools/run-demo

setup:
	tools/setup-machine

build: build-i686 build-x86_64

build-i686: setup
	cmake --preset i686 >/dev/null
	cmake --build --preset i686 -j$(JOBS)

build-x86_64: setup
	cmake --preset x86_64 >/dev/null
	cmake --build --preset x86_64 -j$(JOBS)

quit-benchmark: build
	tools/run-quit-benchmark
