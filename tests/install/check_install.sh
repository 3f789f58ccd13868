#!/usr/bin/env bash
# Installs a build folder the way the package does (prefix /usr, into a temporary DESTDIR) and
# checks the tree: the program, its desktop entry, icons, software-centre page, data and
# documents are there, and nothing else is (no test or benchmark file).
# Usage: check_install.sh CMAKE BUILD_DIR LIBDIR   (LIBDIR as the build has it, e.g. lib)
set -euo pipefail

cmake=$1
build=$2
libdir=$3
id=io.github.pelmora.Pelmora
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$root/usr

expected=(
    usr/bin/pelmora
    usr/$libdir/pelmora/libpelmora_preview.so
    usr/$libdir/pelmora/libpelmora_transfer.so
    usr/$libdir/pelmora/pelmora-askpass
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$id.svg
    usr/share/doc/pelmora/Color.html
    usr/share/doc/pelmora/README.md
    usr/share/doc/pelmora/copyright
    usr/share/doc/pelmora/changelog.gz
    usr/share/man/man1/pelmora.1.gz
    usr/share/man/ja/man1/pelmora.1.gz
    usr/share/doc/pelmora/docs/guide.md
    usr/share/doc/pelmora/docs/images/main-window.png
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
for file in "${expected[@]}"; do
    [[ -s $root/$file ]] || fail "$file is missing or empty"
done
[[ -x $usr/bin/pelmora ]] || fail "usr/bin/pelmora is not executable"

# The documents folder may hold more (the guide's other pictures); every other file must be one
# of the above.
extra=$(find "$root" -type f -printf '%P\n' | grep -v -x -F -f <(printf '%s\n' "${expected[@]}") |
    grep -v '^usr/share/doc/pelmora/' || true)
[[ -z $extra ]] || fail "installed but not expected: $extra"

desktop=$usr/share/applications/$id.desktop
grep -q -x "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
grep -q -x "Exec=pelmora %f" "$desktop" || fail "the desktop entry starts another program"
# Offered in "Open with" for HTML files, never made their default by the package.
grep -q -x "MimeType=text/html;" "$desktop" || fail "the desktop entry claims other types"
! grep -q "InitialPreference" "$desktop" || fail "the desktop entry asks to be the default"

# The validators are not needed to run the tests; the test command installs them.
if command -v desktop-file-validate >/dev/null; then
    # A hint (such as "TextEditor can be extended with Utility") is advice, not a fault.
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    ! grep -q -E ': (error|warning):' <<<"$out" || fail "desktop-file-validate: $out"
fi
if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $out"
fi
echo "Installed tree is complete."
