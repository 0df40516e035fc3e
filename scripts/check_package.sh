#!/usr/bin/env bash
# Proves the Debian package on this machine as a user would meet it: installs it with apt-get,
# checks that it declares every library it links, runs the installed program from a folder
# outside the checkout (its version, the demo project's summary, an MP4 of the demo, checked
# with ffprobe), validates the desktop files where they were installed, and removes it again,
# checking that nothing of it is left under /usr. The package is removed however the checks
# end. Usage: check_package.sh lantrel_VERSION_ARCH.deb (run as root, or with sudo).
set -euo pipefail
package=$(realpath "$1")
checkout=$(cd "$(dirname "$0")/.." && pwd)
export DEBIAN_FRONTEND=noninteractive

run_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}
fail() {
    echo "check_package: $*" >&2
    exit 1
}

work=$(mktemp -d)
remove_package() {
    if dpkg-query -W -f='${Status}' lantrel 2>/dev/null | grep -q "install ok installed"; then
        run_as_root apt-get remove -y -q lantrel </dev/null >/dev/null
    fi
    rm -rf "$work"
}
trap remove_package EXIT

version=$(dpkg-deb -f "$package" Version)
depends=$(dpkg-deb -f "$package" Depends)
echo "== installing $(basename "$package"): Depends: $depends"
run_as_root apt-get install -y -q "$package" </dev/null
files=$(dpkg -L lantrel)

echo "== every library the package's programs link comes from a package it depends on"
declared=$(echo "$depends" | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/:.*//' -e 's/ //g')
# dpkg knows a library by the path its package installed; with /lib a link to /usr/lib that
# may differ from the one the loader reports.
owner_of() {
    local path
    for path in "$1" "$(realpath "$1")"; do
        for candidate in "$path" "${path#/usr}" "/usr$path"; do
            dpkg -S "$candidate" 2>/dev/null | sed -n '1s/:.*//p' | grep . && return
        done
    done
    return 1
}
checked=0
for file in $files; do
    [ -f "$file" ] && file -b "$file" | grep -q '^ELF' || continue
    for soname in $(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        library=$(ldd "$file" | awk -v name="$soname" '$1 == name { print $3 }')
        [ -n "$library" ] || fail "$file needs $soname, which the loader does not find"
        owner=$(owner_of "$library") || fail "$file links $library, which no package owns"
        echo "$declared" | grep -qx "$owner" || fail "$file links $library of $owner, not declared"
        checked=$((checked + 1))
    done
done
[ "$checked" -gt 0 ] || fail "the package holds no program that links a library"
echo "$checked libraries, each from a declared package"

echo "== the installed program, run from $work"
cd "$work"
export HOME="$work"
unset XDG_DATA_HOME
[ "$(command -v lantrel)" = /usr/bin/lantrel ] || fail "lantrel is not /usr/bin/lantrel"
[ "$(lantrel --version)" = "lantrel $version" ] || fail "lantrel --version: $(lantrel --version)"
demo=/usr/share/lantrel/examples/demo.vtm
lantrel info "$demo" | grep -q '"columnCount":224,"round":{"samples":' || fail "lantrel info of the demo"
lantrel export "$demo" --mp4
[ -f demo.mp4 ] || fail "the export of the installed demo did not write ./demo.mp4"
streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name,width,height \
    -of csv=p=0 demo.mp4)
[ "$streams" = "$(printf 'h264,video,1024,768\naac,audio')" ] || fail "demo.mp4 holds: $streams"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 demo.mp4)
awk -v d="$duration" 'BEGIN { exit !(d > 55 && d < 65) }' || fail "demo.mp4 lasts $duration s"

echo "== the desktop's files where the package put them"
desktop-file-validate /usr/share/applications/lantrel.desktop
appstreamcli validate --no-net /usr/share/metainfo/io.github.lantrel.Lantrel.metainfo.xml
xmllint --noout /usr/share/mime/packages/lantrel.xml
[ -f /usr/share/mime/application/x-lantrel-project.xml ] ||
    fail "the MIME database was not updated for the project type"
[ "$(man -w lantrel)" = /usr/share/man/man1/lantrel.1.gz ] || fail "man does not find lantrel(1)"

echo "== removing it"
cd /
run_as_root apt-get remove -y -q lantrel </dev/null
for file in $files; do
    [ -d "$file" ] || [ ! -e "$file" ] || fail "$file is left after the removal"
done
left=$(find /usr -path "$checkout" -prune -o -iname '*lantrel*' -print 2>/dev/null)
[ -z "$left" ] || fail "left under /usr after the removal: $left"
echo "The package installs, runs and goes again."
