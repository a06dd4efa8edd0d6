#!/bin/sh
# Checks the .deb that `make package` built as a user meets it: lintian finds
# nothing, apt installs it, the installed program carries every hardening
# feature, VUSK starts from its menu entry with its icon and its manual is
# found, and purging it leaves nothing behind.
# Installs into this machine, so it needs root.
#   package-check.sh BUILD_DIR
set -eu
deb=$(realpath "$(ls -t "$1"/vusk_*.deb | head -n 1)")
# The application id, as the name of the menu entry the package brings.
id=$(dpkg -c "$deb" | sed -n 's|.* \./usr/share/applications/\(.*\)\.desktop$|\1|p')

echo "== lintian $(basename "$deb")"
# Its hardening tags are mostly of the info level, which --fail-on passes.
report=$(lintian --fail-on error,warning --display-info "$deb") || { echo "$report"; exit 1; }
echo "$report"
tags=$(echo "$report" | grep -o " hardening-[a-z-]*" | sort -u | tr -d '\n')
# hardening-no-fortify-functions is lintian's known false positive for a program
# that calls no fortifiable function whose bounds are not already proven while
# compiling: it passes only where every file was compiled with _FORTIFY_SOURCE.
if [ "$tags" = " hardening-no-fortify-functions" ] &&
    ! grep '"command"' "$1/compile_commands.json" | grep -qv "_FORTIFY_SOURCE="; then
    echo "(lintian's hardening-no-fortify-functions: every file was compiled with _FORTIFY_SOURCE)"
    tags=""
fi
[ -z "$tags" ] || { echo "FAIL: lintian:$tags"; exit 1; }
echo "== contents"
dpkg -c "$deb"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
trap 'apt-get purge -y vusk >/dev/null 2>&1 || true' EXIT
files=$(dpkg -L vusk)

echo "== hardening-check /usr/bin/vusk"
hardening-check --verbose /usr/bin/vusk || true
skip=""
# Control flow protection shows only when every object linked in carries it, and
# the C library's start files of Debian 12 do not; VUSK's own code shows it by
# its landing pads.
if ! readelf -n "$(g++ -print-file-name=Scrt1.o)" | grep -q "IBT, SHSTK"; then
    skip="--nocfprotection"
    objdump -d /usr/bin/vusk | grep -q endbr64 || { echo "FAIL: built without -fcf-protection"; exit 1; }
fi
# memcpy and memmove come from Qt's inline containers, into heap buffers whose
# size the compiler cannot know, so they stay unchecked: lintian leaves them out
# as false positives, and so does this check when they are the only ones; that
# every file was compiled with _FORTIFY_SOURCE is checked in the build instead.
if ! hardening-check --verbose /usr/bin/vusk | sed -n 's/^\tunprotected: //p' |
    grep -qvxE "w?mem(cpy|move|set)"; then
    skip="$skip --nofortify"
    if grep '"command"' "$1/compile_commands.json" | grep -qv "_FORTIFY_SOURCE="; then
        echo "FAIL: compiled without _FORTIFY_SOURCE"; exit 1
    fi
fi
hardening-check --quiet $skip /usr/bin/vusk || { echo "FAIL: hardening-check"; exit 1; }
echo "OK: hardened (hardening-check $skip)"

echo "== start from the menu entry, for a file"
entry=/usr/share/applications/$id.desktop
cells=$(mktemp --suffix=.txt)
printf '0x1\t1\tone\r\n' >"$cells"
command=$(sed -n 's/^Exec=//p' "$entry" | sed "s|%F|$cells|")
# Prints the properties of VUSK's main window once it is shown.
export command
properties=$(timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    $command & pid=$!
    window=$(timeout 60 xdotool search --sync --name "^VUSK v" | head -n 1)
    [ -n "$window" ] && xprop -id "$window" WM_NAME WM_CLASS _NET_WM_ICON
    kill $pid') || { echo "FAIL: no VUSK window"; exit 1; }
rm -f "$cells"
echo "$properties" | grep -E "WM_NAME|WM_CLASS|Icon \("
for size in 16 32 48; do
    echo "$properties" | grep -q "Icon ($size x $size)" || { echo "FAIL: no $size px window icon"; exit 1; }
done
# Docks tie the window to its menu entry by this class.
class=$(sed -n 's/^StartupWMClass=//p' "$entry")
echo "$properties" | grep -q "^WM_CLASS(STRING) = .*, \"$class\"$" ||
    { echo "FAIL: the window's class is not StartupWMClass=$class"; exit 1; }

echo "== manual"
man -w vusk

echo "== remove"
apt-get purge -y vusk
trap - EXIT
if dpkg-query -W -f '${Status}\n' vusk 2>/dev/null | grep -q installed; then
    echo "FAIL: vusk is still installed"; exit 1
fi
left=""
for path in $files; do
    # Folders that other packages share stay; everything of ours goes.
    if [ -e "$path" ] && ! dpkg -S "$path" >/dev/null 2>&1; then left="$left $path"; fi
done
[ -z "$left" ] || { echo "FAIL: left behind:$left"; exit 1; }
echo "OK: nothing of vusk is left"
