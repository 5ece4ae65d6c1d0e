#!/usr/bin/env bash
# Checks what a packager would, on a built tree: the desktop entry and the
# AppStream metadata validate, the Debian package builds from the tree with
# CPack, lintian finds no errors in it, it holds the files it should, its
# programs hold no fault point, and its version is the one the programs print.
# Usage: scripts/check-package.sh [BUILD_DIR]   (default: build-package, as
# scripts/package.sh builds it)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-package}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

echo "== desktop-file-validate"
desktop-file-validate "$root/data/kaz.desktop" || fail "desktop entry"

echo "== appstreamcli validate --no-net"
metainfo=$(ls "$build"/package/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata"

echo "== cpack -G DEB"
# The package goes to a folder of its own, so a check never replaces the one
# scripts/package.sh made.
if ! (cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  fail "cpack"
  exit 1
fi
deb=$(ls "$work"/kaz_*.deb)
echo "$(basename "$deb")"

echo "== control fields"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Version: $version"
echo "Depends: $depends"
case "$(basename "$deb")" in
  "kaz_${version}_amd64.deb" | "kaz_${version}_$(dpkg --print-architecture).deb") ;;
  *) fail "file name $(basename "$deb") does not follow kaz_<version>_<arch>.deb" ;;
esac
for lib in libc6 libqt6core6 libqt6widgets6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib (dpkg-shlibdeps)"
done
for program in kaz-cli kaz; do
  printed=$("$build/bin/$program" --version)
  [ "$(head -n 1 <<<"$printed")" = "$program $version" ] || fail "$program --version prints '$printed', the package is $version"
  grep -q "GPL-3.0-or-later" <<<"$printed" || fail "$program --version names no licence"
done
grep -q "^License: GPL-3.0-or-later$" "$root/data/debian/copyright" || fail "the copyright file names no SPDX licence"
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" || fail "the AppStream metadata names no licence"

echo "== dpkg-deb -c"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|/$||' | sort >"$work/files"
cat "$work/files"
expected=(
  ./usr/bin/kaz
  ./usr/bin/kaz-cli
  ./usr/share/applications/kaz.desktop
  ./usr/share/icons/hicolor/scalable/apps/kaz.svg
  ./usr/share/metainfo/$(basename "$metainfo")
  ./usr/share/man/man1/kaz.1.gz
  ./usr/share/man/man1/kaz-cli.1.gz
  ./usr/share/bash-completion/completions/kaz-cli
  ./usr/share/kaz/help/kaz-en.html
  ./usr/share/kaz/help/kaz-de.html
  ./usr/share/doc/kaz/copyright
  ./usr/share/doc/kaz/changelog.gz
)
for file in "${expected[@]}"; do
  grep -qxF "$file" "$work/files" || fail "the package lacks $file"
done
outside=$(grep -v -e '^\./usr/' -e '^\./usr$' -e '^\.$' "$work/files")
[ -z "$outside" ] || fail "files outside /usr: $outside"

dpkg-deb -x "$deb" "$work/root"
echo "== no fault points in the programs"
# The kill tests' hook is built only with the tests (KAZ_FAULT_POINTS): an
# installed program must not hold the variable that makes it kill itself.
for program in kaz kaz-cli; do
  if grep -q KAZ_FAULT_AT "$work/root/usr/bin/$program"; then
    fail "$program holds the fault point (KAZ_FAULT_AT): package a build without tests"
  fi
done

echo "== manual pages as man shows them"
for page in kaz kaz-cli; do
  shown=$(MANWIDTH=80 man -l "$work/root/usr/share/man/man1/$page.1.gz" 2>"$work/man.err" | head -n 5)
  grep -Eq "$page +- " <<<"$shown" || fail "man $page shows no NAME line: $shown"
  [ ! -s "$work/man.err" ] || fail "man $page: $(cat "$work/man.err")"
done

echo "== lintian"
# Errors fail the check; warnings are shown for the packager to judge.
lintian --tag-display-limit 0 --fail-on error "$deb" || fail "lintian reports errors"

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "the package passes every check"
