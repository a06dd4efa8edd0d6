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

log() { echo "build-qt: $*" >&2; }
work="$cache/work-$key"
# A finished Qt leaves a stamp; one installed before stamps existed is known by
# its qt-cmake with no work folder left beside it.
finished() {
	[ -f "$prefix/.vusk-complete" ] || { [ -x "$prefix/bin/qt-cmake" ] && [ ! -d "$work" ]; }
}
if finished; then
	echo "$prefix"
	exit 0
fi

# One build per work folder: a second clone waits for the first and then uses
# its Qt.
mkdir -p "$cache"
exec 9>"$work.lock"
if ! flock -n 9; then
	log "another build of this Qt is running; waiting for it to end"
	flock 9
fi
if finished; then
	echo "$prefix"
	exit 0
fi
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
	rm -rf "$work/src" "$work/src.part" "$work"/qt6-base_*
	if ! (cd "$work" && apt-get "${apt_opts[@]}" -q source --download-only "qt6-base=$qt_version" >&2); then
		log "the source of qt6-base $qt_version, the version installed here, is not on the"
		log "package mirror (any more). The Windows Qt is built from exactly the installed"
		log "version's source: update the host Qt first (apt-get update && apt-get install"
		log "--only-upgrade qt6-base-dev qt6-base-dev-tools), then run make windows again."
		exit 1
	fi
	# Unpacked under another name first: a half-unpacked tree is never taken for the source.
	(cd "$work" && dpkg-source -x qt6-base_*.dsc src.part >&2)
	mv "$work/src.part" "$work/src"
fi

# Configure only when it has not finished with this very line before, so an
# interrupted build goes on from the step where it stopped.
configure_line="$(printf '%q ' "$work/src/configure" -prefix "$prefix" "${configure_args[@]}" \
	-- "${cmake_args[@]}")"
if [ "$(cat "$work/build/.vusk-configured" 2>/dev/null)" != "$configure_line" ]; then
	log "configuring for Windows"
	rm -rf "$work/build"
	mkdir -p "$work/build"
	(cd "$work/build" && "$work/src/configure" -prefix "$prefix" "${configure_args[@]}" \
		-- "${cmake_args[@]}" >&2)
	printf '%s' "$configure_line" >"$work/build/.vusk-configured"
else
	log "going on with the build in $work/build"
fi
log "building with $jobs jobs"
cmake --build "$work/build" --parallel "$jobs" >&2
cmake --install "$work/build" >&2
touch "$prefix/.vusk-complete"
rm -rf "$work"
echo "$prefix"
