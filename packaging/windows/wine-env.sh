# Sourced by test-windows.sh and wine-run.sh: VUSK's own Wine prefix and the
# settings every Wine run of the Windows build shares. Values already set win.
export WINEPREFIX="${WINEPREFIX:-${VUSK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vusk}/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No offer to install Mono or Gecko.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
