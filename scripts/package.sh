#!/usr/bin/env bash
# Makes the packages and checks them as a packager would. deb: the Debian package, built in
# build-package/ with Debian's hardened flags, checked with lintian, dpkg-deb, readelf,
# desktop-file-validate, appstreamcli and mandoc; with KESTRUNE_INSTALL_DEB=1 (as in CI) it is
# also installed on this machine, the file type asked of the desktop, and removed again.
# zip: the Windows programs, built in build-win32-release/, checked with unzip and objdump.
# Usage: scripts/package.sh [deb] [zip]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "package: $*" >&2
  exit 1
}
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-package.XXXXXX")
installed=0
cleanup() {
  [[ $installed == 0 ]] || $sudo apt-get purge -y -q kestrune >/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Fails unless the listing (one path a line) holds every path named.
expect_paths() {
  local listing=$1 path
  shift
  for path in "$@"; do
    grep -qx -- "$path" <<<"$listing" || fail "missing from the package: $path"
  done
}

make_deb() {
  scripts/install-deps.sh build gui package
  cmake --preset package
  cmake --build --preset package -j"$(nproc)"
  rm -f build-package/kestrune_*.deb
  (cd build-package && cpack -G DEB)
  local deb
  deb=$(echo build-package/kestrune_*.deb)
  [[ -f $deb ]] || fail "cpack made no .deb"

  echo "package: lintian $deb"
  local findings
  findings=$(lintian --display-info --show-overrides "$deb" 2>&1 |
    grep -v '^running with root privileges' || true)
  printf '%s\n' "${findings:-(nothing to say)}"
  ! grep -Eq '^[EW]: |unused-override|mismatched-override' <<<"$findings" ||
    fail "lintian found errors or warnings"

  local listing id
  dpkg-deb -c "$deb"
  listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
  id=$(sed -n 's|^/usr/share/applications/\(.*\)\.desktop$|\1|p' <<<"$listing")
  [[ -n $id ]] || fail "no desktop entry in the package"
  expect_paths "$listing" /usr/bin/KESTRUNE /usr/bin/kestrune-cli \
    /usr/share/metainfo/"$id".metainfo.xml /usr/share/mime/packages/kestrune.xml \
    /usr/share/icons/hicolor/48x48/apps/kestrune.png \
    /usr/share/icons/hicolor/48x48/mimetypes/application-x-pspice-schematic.png \
    /usr/share/man/man1/KESTRUNE.1.gz /usr/share/man/man1/kestrune-cli.1.gz \
    /usr/share/bash-completion/completions/kestrune-cli /usr/share/doc/kestrune/README.md \
    /usr/share/doc/kestrune/copyright /usr/share/doc/kestrune/changelog.gz \
    /usr/share/lintian/overrides/kestrune
  ! grep -q '^/usr/share/doc/kestrune/LICENSE' <<<"$listing" ||
    fail "LICENSE beside Debian's copyright file"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "package: Depends: $depends"
  [[ $depends == *libc6* && $depends == *libwxgtk3.2* ]] || fail "dependencies not computed"

  local root=$scratch/deb program dynamic segments symbols sections
  dpkg-deb -x "$deb" "$root"
  for program in "$root"/usr/bin/*; do
    # Whole outputs first: grep -q leaving a pipe early fails the writer under pipefail.
    dynamic=$(readelf -d "$program") segments=$(readelf -lW "$program")
    symbols=$(nm -D "$program") sections=$(readelf -SW "$program")
    grep -q 'FLAGS_1.*NOW.*PIE' <<<"$dynamic" || fail "$program: not PIE with BIND_NOW"
    grep -q GNU_RELRO <<<"$segments" || fail "$program: no RELRO"
    grep -q ' U __stack_chk_fail' <<<"$symbols" || fail "$program: no stack protector"
    grep -q ' U __[a-z]*_chk@' <<<"$symbols" || fail "$program: no fortified functions"
    ! grep -Eq '\.(symtab|debug_|comment)' <<<"$sections" || fail "$program: not stripped"
  done
  echo "package: both programs hardened (PIE, RELRO, BIND_NOW, stack protector, fortify), stripped"

  desktop-file-validate "$root/usr/share/applications/$id.desktop"
  appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$id.metainfo.xml"
  local page
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    zcat "$page" >"$scratch/${page##*/}.1"
    mandoc -T lint "$scratch/${page##*/}.1" || fail "mandoc: $page"
  done
  echo "package: desktop entry, metainfo and manual pages of the .deb validated"

  if [[ ${KESTRUNE_INSTALL_DEB:-0} == 1 ]]; then
    install_deb "$deb"
  fi
}

# Installs the .deb with apt-get, checks that its triggers registered the file type and the
# desktop entry for it, and removes the package again.
install_deb() {
  local deb=$1
  ! dpkg-query -W -f='${Status}' kestrune 2>/dev/null | grep -q 'ok installed' || fail "kestrune is installed already: not touching it"
  installed=1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "./$deb" >/dev/null
  cp examples/AMP.SCH "$scratch/AMP.SCH"
  echo "not a schematic" >"$scratch/notes.sch"
  local type note
  type=$(gio info -a standard::content-type "$scratch/AMP.SCH" | sed -n 's/.*content-type: //p')
  note=$(gio info -a standard::content-type "$scratch/notes.sch" | sed -n 's/.*content-type: //p')
  [[ $type == application/x-pspice-schematic && $note == text/plain ]] ||
    fail "installed, AMP.SCH is $type and notes.sch $note"
  grep -q "^$type=.*\.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "no desktop entry registered for $type"
  echo "package: installed, AMP.SCH is $type, notes.sch $note, opened by $(
    grep "^$type=" /usr/share/applications/mimeinfo.cache | cut -d= -f2)"
  $sudo apt-get purge -y -q kestrune >/dev/null
  installed=0
  ! grep -q "^$type=" /usr/share/applications/mimeinfo.cache || fail "the entry outlived its package"
  echo "package: removed again"
}

make_zip() {
  scripts/install-deps.sh build windows package
  cmake --preset win32-release
  cmake --build --preset win32-release -j"$(nproc)"
  rm -f build-win32-release/KESTRUNE-*.zip
  (cd build-win32-release && cpack -G ZIP)
  local zip top
  zip=$(echo build-win32-release/KESTRUNE-*-win32.zip)
  [[ -f $zip ]] || fail "cpack made no zip"
  unzip -l "$zip"
  top=$(basename "$zip" .zip)
  expect_paths "$(unzip -Z1 "$zip")" "$top/KESTRUNE.EXE" "$top/kestrune-cli.exe" \
    "$top/LICENSE.txt" "$top/README.txt"
  unzip -q "$zip" -d "$scratch/zip"
  local program text sections symbols
  for program in "$scratch/zip/$top"/*.{EXE,exe}; do
    sections=$(i686-w64-mingw32-objdump -h "$program") symbols=$(i686-w64-mingw32-nm "$program" 2>&1 || true)
    ! grep -Eq '\.debug_|\.stab' <<<"$sections" || fail "$program: not stripped"
    grep -q 'no symbols' <<<"$symbols" || fail "$program: has symbols"
  done
  for text in "$scratch/zip/$top"/*.txt; do
    ! grep -q $'[^\r]$' "$text" || fail "$text: a line without CR LF"
  done
  echo "package: the zip holds both programs (stripped), LICENSE.txt and README.txt (CR LF)"
}

for part in "${@:-deb zip}"; do
  for kind in $part; do
    case $kind in
      deb) make_deb ;;
      zip) make_zip ;;
      *) fail "unknown part $kind (deb, zip)" ;;
    esac
  done
done
