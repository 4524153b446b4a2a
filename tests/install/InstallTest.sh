#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks what lands
# where: exactly the executable, the menu entry, the icon sizes, the
# software-centre description (all under one id), the copyright file, the
# package's change log and the manual page; both validators of the desktop
# accept them. Exits 77 (skipped) where a validator is missing.
set -euo pipefail
cmake=$1
build=$2
id=org.example.quorvane

for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is missing (scripts/setup installs it)"
    exit 77
  fi
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAILED: $*"; exit 1; }

expected=(
  "bin/quorvane"
  "share/applications/$id.desktop"
  "share/icons/hicolor/scalable/apps/$id.svg"
  "share/metainfo/$id.metainfo.xml"
  "share/doc/quorvane/copyright"
  "share/doc/quorvane/changelog.Debian.gz"
  "share/man/man1/quorvane.1.gz"
  "share/lintian/overrides/quorvane"
)
for size in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
actual=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[[ "$actual" == "$wanted" ]] || fail "installed files differ from the expected ones:
$(diff <(echo "$wanted") <(echo "$actual") || true)"
[[ -x "$prefix/bin/quorvane" ]] || fail "bin/quorvane is not executable"

# Every PNG must be as large as the folder of its size says (the width and
# height stand in the IHDR chunk at bytes 16 to 23).
for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [[ "$width x $height" == "$size x $size" ]] || fail "$png is $width x $height"
done

desktop="$prefix/share/applications/$id.desktop"
# The program takes no arguments, so the command carries no field codes;
# the icon is named by the id, which the theme resolves.
grep -qx 'Exec=quorvane' "$desktop" || fail "Exec is not the bare command: $(grep '^Exec=' "$desktop")"
grep -qx "Icon=$id" "$desktop" || fail "Icon is not $id"
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo does not launch $id.desktop"

# The copyright file is in Debian's machine-readable form, and names the
# licence the software centres show.
doc="$prefix/share/doc/quorvane"
head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
licence=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' "$prefix/share/metainfo/$id.metainfo.xml")
[[ -n "$licence" ]] || fail "the metainfo names no licence"
grep -qx "License: $licence" "$doc/copyright" || fail "the copyright file does not name the metainfo's licence $licence"
for compressed in "$doc/changelog.Debian.gz" "$prefix/share/man/man1/quorvane.1.gz"; do
  gzip -t "$compressed" || fail "$compressed is no gzip file"
done
zcat "$doc/changelog.Debian.gz" | head -n 1 | grep -Eq '^quorvane \([0-9.]+-[0-9]+\) ' ||
  fail "the change log does not begin with a version of quorvane"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
echo "installed and validated: ${#expected[@]} files"
