#!/bin/sh
# Checks the .deb that `make package` built as a user meets it: lintian finds
# nothing, apt installs it, the installed VUSK starts from its menu entry with
# its icon and its manual is found, and purging it leaves nothing behind.
# Installs into this machine, so it needs root.
#   package-check.sh BUILD_DIR
set -eu
deb=$(realpath "$(ls -t "$1"/vusk_*.deb | head -n 1)")
id=org.example.vusk

echo "== lintian $(basename "$deb")"
lintian --fail-on error,warning --display-info "$deb"
echo "== contents"
dpkg -c "$deb"

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
trap 'apt-get purge -y vusk >/dev/null 2>&1 || true' EXIT
files=$(dpkg -L vusk)

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
