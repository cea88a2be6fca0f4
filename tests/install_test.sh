#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks what a desktop
# needs: every file in its place and nothing else, a desktop entry and a
# metainfo file that validate, and an installed program that keeps its data in
# the user's data folder, leaving the prefix untouched. Then builds the Debian
# package and checks its files and the dependencies it pulls in.
# Usage: install_test.sh BUILD_FOLDER PRINT_PROGRAM_FOLDER
set -euo pipefail
build=$1
print_program_folder=$2
id=org.gearledger.Gearledger

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/gearledger
share/applications/$id.desktop
$(for size in 16 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done)
share/icons/hicolor/scalable/apps/$id.svg
share/metainfo/$id.metainfo.xml"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "installed files differ:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual"))"
[ -x "$prefix/bin/gearledger" ] || fail "the program is not executable"
for size in 16 32 48 64 128 256; do
    # A PNG's width and height are the two big-endian words after its signature and chunk header.
    dimensions=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" \
        | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    [ "$dimensions" = "${size}x$size" ] || fail "the $size pixel icon measures $dimensions"
done

# Validators print warnings without failing: any word from them is a failure here.
desktop=$prefix/share/applications/$id.desktop
report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
report=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) \
    || fail "appstreamcli validate: $report"

# --version and --help answer in a terminal without any display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/gearledger" --version)
grep -q "<release version=\"${version#Gearledger }\"" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the metainfo file lacks a release of '$version'"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/gearledger" --help | grep -q -- "--download-url <url>" \
    || fail "--help does not show --download-url"

# The installed program, with its prefix read-only, keeps its data in the
# user's data folder, made on first start.
chmod -R a-w "$prefix"
before=$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort)
folder=$(XDG_DATA_HOME="$work/data" "$print_program_folder" "$prefix/bin")
[ "$folder" = "$work/data/Gearledger" ] || fail "the installed program chose '$folder'"
[ -d "$folder" ] || fail "the user's data folder was not made"
[ "$(cd "$prefix" && find . -printf '%p %s %T@ %m\n' | LC_ALL=C sort)" = "$before" ] || fail "the prefix changed"

# The executable alone in a folder of its own (as scripts/run.sh installs it) is portable.
mkdir "$work/portable"
folder=$(XDG_DATA_HOME="$work/data" "$print_program_folder" "$work/portable")
[ "$folder" = "$work/portable" ] || fail "the portable program chose '$folder'"
# The Debian package holds the same files under /usr and depends on the Qt
# libraries the program links and on the platform plugins that show its windows.
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null) || fail "cpack -G DEB failed"
package=$(ls "$work"/deb/gearledger_*.deb) || fail "no gearledger_*.deb was made"
listed=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' | LC_ALL=C sort)
[ "$listed" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "the package's files differ:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$listed"))"
depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 qt6-qpa-plugins; do
    grep -qw "$needed" <<<"$depends" || fail "the package does not depend on $needed: $depends"
done
[ "$(dpkg-deb -f "$package" Version)" = "${version#Gearledger }" ] || fail "the package's version is not the program's"
echo "install test passed"
