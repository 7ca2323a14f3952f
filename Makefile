# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
# KaloRefill on a fresh Debian 12 machine, as root or with sudo:
#   make run     install what is missing, build, open the refill form on the demo database
#   make test    install what is missing, build, run every test offscreen
#   make bench   build and run the benchmarks (KALOREFILL_BENCH_RAPIDO=1: the short run of the
#                PostgreSQL one, a few minutes)
#   make mutazioni the mutation run: each mutant of tests/mutazioni/mutanti.tsv built and tested
#   make package build the Debian packages kalorefill_*.deb and kalorefill-dev_*.deb here
#   make clean   remove the build folder

BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Options for the program under `make run`, e.g. make run ARGS="--date 2025-03-14"
ARGS       ?=
# Extra options for ctest, e.g. make test CTEST_ARGS="-R tst_sala"
CTEST_ARGS ?=

PACKAGES := cmake g++ make tzdata qt6-base-dev libqt6sql6-sqlite libsqlite3-dev qt6-svg-dev libqt6svg6 libgl-dev \
            xvfb xauth poppler-utils fonts-dejavu-core postgresql libqt6sql6-psql qt6-translations-l10n \
            dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream \
            libsodium-dev libqrencode-dev zbar-tools libpq-dev cups-daemon cups-client

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build run test bench mutazioni package clean

all: build

# Installs only what dpkg does not already list as installed; the package lists are
# refreshed only then, so a ready machine needs no network.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' "$$p" 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installo i pacchetti mancanti:$$missing"; \
	    if [ -n "$(SUDO)" ] && ! command -v sudo >/dev/null; then \
	        echo "Servono i permessi di root (o sudo) per installare:$$missing" >&2; exit 1; \
	    fi; \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update && \
	    $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKALOREFILL_WERROR=ON \
	    -DKALOREFILL_TEST_PGSQL=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/kalorefill --demo $(ARGS)

# Every database and form test runs on SQLite and on a throwaway PostgreSQL cluster that the
# tests start and stop themselves; an engine that cannot be used fails the run.
test: build
	QT_QPA_PLATFORM=offscreen KALOREFILL_REQUIRE_ENGINES=sqlite,pgsql ctest --test-dir $(BUILD) --output-on-failure --no-tests=error $(CTEST_ARGS)

# Benchmarks are the executables named bench* in the build's bin folder.
bench: build
	@found=0; \
	for b in $(BUILD)/bin/bench*; do \
	    [ -x "$$b" ] || continue; found=1; \
	    echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; \
	done; \
	[ "$$found" -eq 1 ] || echo "Nessun benchmark compilato in $(BUILD)/bin."

# Not part of `make test`: each mutant is built in a copy of the sources and its tests run;
# the report lists the mutants the tests let through.
mutazioni: deps
	JOBS=$(JOBS) tests/mutazioni/esegui.sh

# CPack builds in the build folder; the packages are copied here for apt install ./...
package: build
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/kalorefill_*.deb $(BUILD)/kalorefill-dev_*.deb .

clean:
	rm -rf $(BUILD)
