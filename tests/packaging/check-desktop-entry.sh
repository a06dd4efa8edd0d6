#!/bin/sh
# Starts VUSK as a desktop starts its menu entry for a file, on a display of its
# own, and checks what the entry promises: it takes files, it is offered for
# text files, docks find its window by the class it names, and the launch
# feedback it asks for is ended once the window is up.
#   check-desktop-entry.sh PROGRAM DESKTOP_ENTRY
set -eu
program=$1 entry=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }
key() { sed -n "s/^$1=//p" "$entry"; }

case " $(key Exec) " in *" %F "*) ;; *) fail "Exec=$(key Exec) is given no files (%F)" ;; esac
case ";$(key MimeType)" in *";text/plain;"*) ;; *) fail "MimeType=$(key MimeType) lacks text/plain" ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '0x1\t1\tone\r\n' >"$work/cells.txt"
export program work
# The Exec line's program is the one just built; %F becomes the file.
export arguments="$(key Exec | sed 's/^[^ ]*//; s|%F|"$work/cells.txt"|')"
timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    xev -root -event property >"$work/root" & xev=$!
    # xev listens once it reports a change of the root window.
    for i in $(seq 300); do
        grep -q PropertyNotify "$work/root" && break
        xprop -root -f _VUSK_PROBE 8s -set _VUSK_PROBE 1; sleep 0.1
    done
    eval "DESKTOP_STARTUP_ID=vusk-check_TIME0 \"\$program\" $arguments" & vusk=$!
    window=$(timeout 60 xdotool search --sync --name "^VUSK v" | head -n 1)
    [ -n "$window" ] && xprop -id "$window" WM_CLASS >"$work/class"
    for i in $(seq 100); do grep -q _NET_STARTUP_INFO_BEGIN "$work/root" && break; sleep 0.1; done
    kill $vusk $xev; wait' || true

[ -s "$work/class" ] || { echo "FAIL: no VUSK window"; exit 1; }
class=$(sed -n 's/.*", "\(.*\)"$/\1/p' "$work/class")
[ "$class" = "$(key StartupWMClass)" ] ||
    fail "the window's class is $class, StartupWMClass=$(key StartupWMClass)"
if [ "$(key StartupNotify)" = true ]; then
    grep -q _NET_STARTUP_INFO_BEGIN "$work/root" || fail "StartupNotify=true, but no startup message came"
else
    fail "StartupNotify=$(key StartupNotify), though Qt ends the launch feedback"
fi
exit $failed
