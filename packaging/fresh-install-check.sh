#!/usr/bin/env bash
# Installs the Debian package into a fresh, minimal Debian 12 (debootstrap, in a folder of
# your choosing) and checks that apt finds every dependency, that both programs start, and
# that the package removes cleanly. Needs root, debootstrap and the network to Debian's mirror.
# Usage: packaging/fresh-install-check.sh PACKAGE.deb ROOT_FOLDER
set -euo pipefail
deb=$(realpath "$1") root=$(realpath -m "$2")
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
if [ ! -f "$root/etc/debian_version" ]; then
  debootstrap --variant=minbase bookworm "$root" "$mirror"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/markwell.deb"
in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"
}
in_root apt-get update -qq
in_root apt-get install -y -qq /tmp/markwell.deb >/dev/null
echo "installed: $(in_root dpkg-query -W -f='${Package} ${Version} ${Status}' markwell)"

in_root markwell-cli --version
# The window program, offscreen: still running when timeout ends it after three seconds.
status=0
in_root sh -c 'mkdir -p -m 700 /tmp/runtime && XDG_RUNTIME_DIR=/tmp/runtime \
  QT_QPA_PLATFORM=offscreen timeout 3 markwell' || status=$?
if [ "$status" -ne 124 ]; then echo "markwell ended by itself with status $status"; exit 1; fi
echo "markwell started"

in_root apt-get remove -y -qq markwell >/dev/null
if in_root sh -c 'command -v markwell || ls /usr/share/applications/io.github.markwell.Markwell.desktop' 2>/dev/null; then
  echo "files left after removal"; exit 1
fi
echo "removed cleanly"
