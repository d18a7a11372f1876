#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a packager would: the
# layout, the desktop entry and metainfo (validated together, with the icon they
# name, and in each language), the manual pages in each language, the icon
# sizes, that no program (installed or in the build tree) searches the working
# folder for libraries, and that both programs answer --version without a display.
# Usage: installed_layout.sh <build folder> <version>
set -euo pipefail

build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

app_id=org.lorimand.Lorimand
for file in \
    bin/lorimand \
    bin/lorimand-cli \
    share/lorimand/Readme.txt \
    share/lorimand/Readme.de.txt \
    share/lorimand/Readme.es.txt \
    share/lorimand/Readme.fr.txt \
    share/lorimand/ROT13.sbt \
    share/lorimand/Reverse.sbt \
    share/lorimand/Digits.sbt \
    share/applications/$app_id.desktop \
    share/metainfo/$app_id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$app_id.svg \
    share/man/man1/lorimand.1.gz \
    share/man/man1/lorimand-cli.1.gz \
    share/man/de/man1/lorimand.1.gz \
    share/man/de/man1/lorimand-cli.1.gz \
    share/man/es/man1/lorimand.1.gz \
    share/man/es/man1/lorimand-cli.1.gz \
    share/man/fr/man1/lorimand.1.gz \
    share/man/fr/man1/lorimand-cli.1.gz \
    share/bash-completion/completions/lorimand-cli \
    share/doc/lorimand/copyright \
    share/doc/lorimand/changelog.gz \
    share/doc/lorimand/LICENCE; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/lorimand" ] && [ -x "$prefix/bin/lorimand-cli" ] || fail "programs not executable"
# Nothing of the build's own program folder leaks into bin/.
extra=$(ls "$prefix/bin" | grep -v -x -e lorimand -e lorimand-cli || true)
[ -z "$extra" ] || fail "unexpected files in bin/: $extra"

# Each PNG holds the size its folder names (width and height from the IHDR chunk).
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ -s "$png" ] || fail "no ${size}x${size} icon"
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$width $height" = "$size $size" ] || fail "${size}x${size} icon is ${width}x${height}"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
# The desktop entry and the metainfo speak each language the window speaks.
for language in de es fr; do
    for key in Name GenericName Comment Keywords; do
        grep -q "^$key\[$language\]=" "$prefix/share/applications/$app_id.desktop" ||
            fail "the desktop entry has no $key[$language]"
    done
    grep -q "xml:lang=\"$language\"" "$prefix/share/metainfo/$app_id.metainfo.xml" ||
        fail "the metainfo has no $language"
done
appstreamcli validate-tree --no-net "$prefix" || fail "installed tree does not validate"

manual_pages=("$prefix"/share/man/man1/*.1.gz "$prefix"/share/man/*/man1/*.1.gz)
for page in "${manual_pages[@]}"; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "${page#"$prefix"/}: $warnings"
done

# The manual pages, the metainfo and the changelog name one release date.
release=$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' \
    "$prefix/share/metainfo/$app_id.metainfo.xml")
[ -n "$release" ] || fail "the metainfo names no release date"
for page in "${manual_pages[@]}"; do
    # A translated page starts with po4a's comment, and po4a leaves the date
    # without quotation marks; the title line is the first .TH.
    zcat "$page" | grep -m 1 '^\.TH' | grep -q -E "^\.TH [^ ]+ 1 \"?$release\"? " ||
        fail "${page#"$prefix"/} is not dated $release"
done
changed=$(zcat "$prefix/share/doc/lorimand/changelog.gz" | sed -n 's/^ -- .*>  //p')
[ "$(date -u -d "$changed" +%F)" = "$release" ] || fail "the changelog is dated $changed, not $release"

# A run path with an empty entry (or ".") searches the working folder for
# libraries, so a library planted where the program is run from would be loaded:
# neither the build tree's programs and tests nor the installed programs may carry one.
for program in "$build"/bin/* "$build"/tests/* "$prefix"/bin/*; do
    [ -f "$program" ] && [ -x "$program" ] || continue
    readelf -h "$program" >/dev/null 2>&1 || continue
    while read -r paths; do
        case ":$paths:" in
        *::* | *:.:*) fail "${program}'s run path [$paths] searches the working folder" ;;
        esac
    done < <(LC_ALL=C readelf -d "$program" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*: \[\(.*\)\]$/\2/p')
done

# --version needs no display: the desktop program must not start its toolkit.
for program in lorimand-cli lorimand; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version) ||
        fail "$program --version failed"
    grep -q -F "$version" <<<"$out" || fail "$program --version does not name $version: $out"
    grep -q -F "MIT" <<<"$out" || fail "$program --version does not name the licence: $out"
done
echo "installed layout is complete"
