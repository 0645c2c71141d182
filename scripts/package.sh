#!/usr/bin/env bash
# Builds the Debian package of Quillan, dist/quillan_<version>_<arch>.deb,
# the Debian way (dpkg-buildpackage with debian/), from a copy of the source
# tree in build-deb/, where the source package (.dsc, .tar.xz) is left too,
# and checks both: lintian (errors and warnings fail the
# build; the overrides in debian/ say why each is accepted), the menu entry
# (desktop-file-validate) and the software centre's entry (appstreamcli
# validate, without fetching the screenshots from the website).
# Installs what the build needs with apt-get (sudo when not root).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages dpkg-dev debhelper lintian desktop-file-utils appstream

version="$(dpkg-parsechangelog -l "$QUILLAN_ROOT/debian/changelog" -S Version)"
cmake_version="$(sed -n 's/^project(Quillan VERSION \([0-9.]*\).*/\1/p' "$QUILLAN_ROOT/CMakeLists.txt")"
if [ "$version" != "$cmake_version" ]; then
  echo "quillan: debian/changelog says $version, CMakeLists.txt says $cmake_version" >&2
  exit 1
fi
arch="$(dpkg --print-architecture)"

# A fresh copy of the tree (what git tracks, and new files it does not
# ignore): the build writes only below build-deb/.
work="$QUILLAN_ROOT/build-deb"
src="$work/quillan-$version"
rm -rf "$work"
mkdir -p "$src"
if git -C "$QUILLAN_ROOT" rev-parse --git-dir >/dev/null 2>&1; then
  git -C "$QUILLAN_ROOT" ls-files -z --cached --others --exclude-standard |
    (cd "$QUILLAN_ROOT" && xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
    tar -C "$QUILLAN_ROOT" --null -T - -cf - | tar -C "$src" -xf -
else
  tar -C "$QUILLAN_ROOT" --exclude='./build*' --exclude=./dist -cf - . | tar -C "$src" -xf -
fi

if ! (cd "$src" && dpkg-checkbuilddeps >/dev/null 2>&1); then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends "$src"
fi

options="parallel=$(nproc)"
if [ -n "${DEB_BUILD_OPTIONS:-}" ]; then
  options="$DEB_BUILD_OPTIONS $options"
fi
(cd "$src" && DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -us -uc)

deb="quillan_${version}_${arch}.deb"
mkdir -p "$QUILLAN_ROOT/dist"
cp "$work/$deb" "$QUILLAN_ROOT/dist/$deb"

echo "quillan: lintian"
lintian --fail-on error,warning --display-info "$work/quillan_${version}_${arch}.changes"
unpacked="$work/unpacked"
dpkg-deb -x "$QUILLAN_ROOT/dist/$deb" "$unpacked"
echo "quillan: desktop-file-validate"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
echo "quillan: appstreamcli validate"
appstreamcli validate --no-net --pedantic "$unpacked"/usr/share/metainfo/*.metainfo.xml
echo "quillan: the package: $QUILLAN_ROOT/dist/$deb"
