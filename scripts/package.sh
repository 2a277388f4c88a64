#!/usr/bin/env bash
# Builds the Debian package: installs what the build needs, builds a Release in build-pkg with
# Debian's compiler and linker hardening flags, makes the .deb into dist/ and prints its path
# as the last line.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh >&2

# One commit always gives the same package: its dates come from the commit, not the clock.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

# Release with the optimisation Debian's flags choose (CMake's own Release flags would add -O3).
cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >&2
cmake --build build-pkg -j "$(nproc)" >&2

mkdir -p dist
log=build-pkg/cpack.log
if ! (cd build-pkg && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$PWD/../dist") >"$log" 2>&1; then
    cat "$log" >&2
    echo "package: cpack failed" >&2
    exit 1
fi
deb=$(sed -nE 's/^CPack: - package: (.*\.deb) generated\.$/\1/p' "$log")
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    cat "$log" >&2
    echo "package: cpack named no package" >&2
    exit 1
fi
realpath --relative-to=. "$deb"
