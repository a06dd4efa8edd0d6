#!/usr/bin/env bash
# Runs one Windows program under Wine, in VUSK's own Wine prefix (prepared by
# test-windows.sh). ctest uses it for every test of the Windows build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
# Wine hands QT_* variables to Windows programs only under a WINE prefix.
for name in $(compgen -e | grep '^QT_' || true); do
	export "WINE$name=${!name}"
done
# Qt's messages, QtTest's report included, go to stderr instead of the debugger.
export WINEQT_FORCE_STDERR_LOGGING=1
exec wine "$@"
