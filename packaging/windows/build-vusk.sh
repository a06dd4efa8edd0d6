#!/usr/bin/env bash
# Cross-builds VUSK for 64-bit Windows against the cached static Qt and leaves
# the one file to ship as <build dir>/VUSK.exe.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(realpath -m "${1:-$root/build-windows}")"
jobs="${VUSK_JOBS:-2}"

qt="$("$here/build-qt.sh")"

# A new Qt (another key) means a new configuration.
if [ ! -f "$build/build.ninja" ] || ! grep -qF "$qt" "$build/CMakeCache.txt"; then
	rm -rf "$build"
	# qt-cmake brings the cross Qt's own toolchain file, which loads ours.
	"$qt/bin/qt-cmake" -S "$root" -B "$build" -G Ninja \
		-DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
		-DCMAKE_BUILD_TYPE=Release -DVUSK_WERROR=ON -DVUSK_BUILD_BENCH=OFF \
		-DVUSK_TEST_TIMEOUT=900 \
		-DCMAKE_EXE_LINKER_FLAGS=-static \
		-DCMAKE_CROSSCOMPILING_EMULATOR="$here/wine-run.sh"
fi
cmake --build "$build" --parallel "$jobs"
# Qt puts every program of a Windows build at the top of the build folder.
x86_64-w64-mingw32-strip "$build/VUSK.exe"
echo "built $build/VUSK.exe"
