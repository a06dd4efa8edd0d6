#!/bin/sh
# Installs the build into a staging folder the way a package does and checks
# every file a user gets, its mode, and that an installed VUSK, which may not
# write to its own folder, starts its file dialogs in the documents folder.
#   check-install.sh BUILD_DIR FOLDER_PROBE APP_ID THEME_ICON_SIZE...
set -eu
build=$1 probe=$2 id=$3
shift 3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
chmod 755 "$stage"
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr
failed=0
fail() { echo "FAIL: $*"; failed=1; }

expect() { # MODE PATH
    mode=$(stat -c %a "$usr/$2" 2>/dev/null) || { fail "$2 is not installed"; return 0; }
    [ "$mode" = "$1" ] || fail "$2 has mode $mode, not $1"
}
expect 755 bin/vusk
expect 644 share/applications/$id.desktop
expect 644 share/metainfo/$id.metainfo.xml
expect 644 share/man/man1/vusk.1.gz
expect 644 share/doc/vusk/LICENSE
expect 644 share/doc/vusk/copyright
for n in "$@"; do
    icon=share/icons/hicolor/${n}x$n/apps/$id.png
    expect 644 "$icon"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    size=$(od -An -tu4 --endian=big -j16 -N8 "$usr/$icon" 2>/dev/null | xargs) || true
    [ "$size" = "$n $n" ] || fail "$icon measures ${size:-nothing}, not $n $n"
done
warnings=$(man --warnings -E UTF-8 -l "$usr/share/man/man1/vusk.1.gz" 2>&1 >/dev/null) ||
    fail "man cannot show vusk.1"
[ -z "$warnings" ] || fail "vusk.1: $warnings"
appstreamcli validate-tree --no-net "$stage" >/dev/null || fail "$(appstreamcli validate-tree --no-net "$stage")"

# The program's folder as installed, seen by a user who may not write there.
cp "$probe" "$usr/bin/"
chmod a-w "$usr/bin"
home=$stage/home
mkdir -m 777 "$home"
run=""
[ "$(id -u)" != 0 ] || run="setpriv --reuid=nobody --regid=nogroup --clear-groups"
folder=$(env -i HOME="$home" $run "$usr/bin/$(basename "$probe")")
[ "$folder" = "$home/Documents" ] || fail "the file dialogs start in $folder, not $home/Documents"
chmod u+w "$usr/bin"
exit $failed
