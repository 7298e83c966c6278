#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs of it: the layout,
# the desktop entry, the MIME type and the AppStream metainfo agreeing with one another and
# passing their validators (each validator only where it is installed), the help document
# beside the built program and in the data folder, the library of the overview and printing,
# and the installed program starting.
# Usage: install_check.sh BUILD_DIR PROGRAM_DIR HAS_CLI(0|1) [CMAKE]
set -uo pipefail
build=$1 program_dir=$2 has_cli=$3 cmake=${4:-cmake}
id=io.github.markwell.Markwell
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log"; rm -f "$prefix.log"
  echo "FAIL: cmake --install"; exit 1
fi
rm -f "$prefix.log"

desktop=$prefix/share/applications/$id.desktop
mime=$prefix/share/mime/packages/$id.xml
meta=$prefix/share/metainfo/$id.metainfo.xml
icon=$prefix/share/icons/hicolor/scalable/apps/$id.svg
help=$prefix/share/markwell/markwell.html
expected=("$prefix/bin/markwell" "$desktop" "$mime" "$meta" "$icon" "$help")
[ "$has_cli" = 1 ] && expected+=("$prefix/bin/markwell-cli")
for f in "${expected[@]}"; do
  [ -s "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
[ -x "$prefix/bin/markwell" ] || fail "bin/markwell is not executable"
# The overview and printing, which the program opens from its library folder.
[ -n "$(find "$prefix" -path '*/lib*/markwell/markwell-views.so')" ] \
  || fail "not installed: markwell-views.so in the library folder"
[ "$has_cli" = 1 ] && { [ -x "$prefix/bin/markwell-cli" ] || fail "bin/markwell-cli is not executable"; }
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }

# The help document the build folder's program finds is the one that gets installed.
cmp -s "$program_dir/markwell.html" "$help" || fail "no up-to-date markwell.html beside the built program"

# The three files name the same program, type and icon.
key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
[ "$(key Exec)" = "markwell %f" ] || fail "desktop Exec is '$(key Exec)', not 'markwell %f'"
[ "$(key Icon)" = "$id" ] || fail "desktop Icon is '$(key Icon)', not '$id'"
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
[ "$mime_type" = application/x-markwell-gradebook ] || fail "MIME type is '$mime_type'"
case ";$(key MimeType)" in
  *";$mime_type;"*) ;;
  *) fail "desktop MimeType '$(key MimeType)' does not list $mime_type" ;;
esac
grep -q "<id>$id</id>" "$meta" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" \
  || fail "metainfo does not launch $id.desktop"
grep -q "<mediatype>$mime_type</mediatype>" "$meta" || fail "metainfo does not provide $mime_type"

# The validators, where installed.
ran=0
if command -v desktop-file-validate >/dev/null; then
  ran=$((ran + 1)); out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else echo "skipped: desktop-file-validate is not installed"; fi
if command -v appstreamcli >/dev/null; then
  ran=$((ran + 1)); appstreamcli validate --no-net "$meta" || fail "appstreamcli validate"
else echo "skipped: appstreamcli is not installed"; fi
if command -v xmllint >/dev/null; then
  ran=$((ran + 1))
  for f in "$mime" "$meta" "$icon"; do
    xmllint --noout "$f" || fail "xmllint ${f#"$prefix"/}"
  done
else echo "skipped: xmllint is not installed"; fi
if command -v update-mime-database >/dev/null; then
  ran=$((ran + 1))
  out=$(update-mime-database "$prefix/share/mime" 2>&1) || fail "update-mime-database: $out"
  [ -s "$prefix/share/mime/mime.cache" ] || fail "update-mime-database wrote no cache"
else echo "skipped: update-mime-database is not installed"; fi

# The installed program starts (offscreen, with scratch settings) and is still running a
# few seconds later, when timeout ends it.
scratch=$prefix/scratch
mkdir -p "$scratch"
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data \
  XDG_RUNTIME_DIR=$scratch QT_QPA_PLATFORM=offscreen \
  timeout 3 "$prefix/bin/markwell" >"$scratch/out" 2>&1
rc=$?
[ $rc -eq 124 ] || { cat "$scratch/out"; fail "installed markwell ended by itself with status $rc"; }

if [ "$failures" -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
if [ "$ran" -eq 0 ]; then echo "no validator installed"; exit 77; fi
echo "installed layout, desktop entry, MIME type and metainfo all right"
