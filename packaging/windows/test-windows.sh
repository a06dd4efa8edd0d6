#!/usr/bin/env bash
# Runs every test suite of the Windows build under Wine, through ctest: one
# Xvfb of its own, one Wine prefix with a virtual desktop, one wineserver for
# all suites, stopped at the end.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$(realpath -m "${1:-$root/build-windows}")"
shift || true

if [ -z "${VUSK_IN_XVFB:-}" ]; then
	# ASLR (64-bit) and DEP: a change of linker flags must not drop them unnoticed.
	flags="$(x86_64-w64-mingw32-objdump -p "$build/VUSK.exe" |
		awk '/^DllCharacteristics/ { shown = 1; print; next } shown && /^\t/ { print; next } { shown = 0 }')"
	echo "$flags"
	for flag in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
		if ! grep -qw "$flag" <<<"$flags"; then
			echo "test-windows: VUSK.exe lacks $flag in its DllCharacteristics" >&2
			exit 1
		fi
	done
	export VUSK_IN_XVFB=1
	exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$@"
fi

source "$here/wine-env.sh"

# On a machine where Wine never ran, wineserver needs the prefix folder to exist.
mkdir -p "$WINEPREFIX"
# A server left running by a run that was stopped still draws into that run's
# display, which is gone: every wine call would wait for it.
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
	echo "test-windows: preparing the Wine prefix $WINEPREFIX"
	wineboot -i
fi
# Every window in one virtual desktop: Wine then manages windows, activation
# and focus itself, as Windows does, instead of leaving them to X.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null

cd "$build"
ctest --output-on-failure "$@"
