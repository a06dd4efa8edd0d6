#!/usr/bin/env bash
# Builds a static, minimal Qt for 64-bit Windows from Debian's own qt6-base
# source, once per configure line / qt6-base version / MinGW version, into a
# cache outside the source tree. Prints the installed prefix on stdout.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cache="${VUSK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vusk}"
jobs="${VUSK_JOBS:-2}"
toolchain="$here/mingw-w64-x86_64.cmake"

configure_args=(
	-release -static -static-runtime -xplatform win32-g++ -qt-host-path /usr
	-nomake tests -nomake examples
	-no-opengl -no-dbus -no-icu -no-zstd -no-freetype -no-libjpeg -no-gif
	-qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz
	-no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent
	-no-feature-printsupport
	# Debian's source has no src/3rdparty/wintab.
	-no-feature-tabletevent
	-no-feature-vulkan -no-feature-direct2d
	# With it every program fails to link against the static Qt.
	-no-feature-directwrite3
)
# Debian keeps the host Qt's CMake packages under the multiarch folder.
cmake_args=(
	-DCMAKE_TOOLCHAIN_FILE="$toolchain"
	-DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
)

qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
mingw_version="$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)"
# The toolchain file counts by its contents, not by where this checkout lies, so
# every clone on the machine shares one build.
key="$( { printf '%s\n' "${configure_args[@]}" "${cmake_args[@]:1}"; cat "$toolchain"; \
	echo "$qt_version"; echo "$mingw_version"; } | sha256sum | cut -c1-16)"
prefix="$cache/qt-$key"

if [ -x "$prefix/bin/qt-cmake" ]; then
	echo "$prefix"
	exit 0
fi

log() { echo "build-qt: $*" >&2; }
mkdir -p "$cache"
work="$cache/work-$key"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/apt/sources.list.d"

# Source entries, derived from the system's binary ones into a private apt
# configuration, so the system's apt setup stays as it is.
for f in /etc/apt/sources.list.d/*.sources; do
	[ -e "$f" ] || continue
	sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$work/apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
	sed -nE 's/^deb[[:space:]]+/deb-src /p' /etc/apt/sources.list >"$work/apt/sources.list"
else
	: >"$work/apt/sources.list"
fi
apt_opts=(
	-o "Dir::Etc::SourceList=$work/apt/sources.list"
	-o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
	-o "Dir::State::Lists=$work/apt/lists"
	-o "Dir::Cache=$work/apt"
	-o "Debug::NoLocking=1"
)
if [ ! -f "$work/src/configure" ]; then
	log "fetching qt6-base $qt_version source"
	apt-get "${apt_opts[@]}" -q update >&2
	rm -rf "$work/src"
	(cd "$work" && apt-get "${apt_opts[@]}" -q source --download-only "qt6-base=$qt_version" >&2)
	(cd "$work" && dpkg-source -x qt6-base_*.dsc src >&2)
fi

log "configuring for Windows"
rm -rf "$work/build"
mkdir -p "$work/build"
(cd "$work/build" && "$work/src/configure" -prefix "$prefix" "${configure_args[@]}" \
	-- "${cmake_args[@]}" >&2)
log "building with $jobs jobs"
cmake --build "$work/build" --parallel "$jobs" >&2
cmake --install "$work/build" >&2
rm -rf "$work"
echo "$prefix"
