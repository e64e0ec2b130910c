#!/bin/sh
# The Windows release zip: kestrane.exe and kestrane-cli.exe (stripped, one
# file each, no DLLs), a README made from README.md, Kestrane's licence, and
# Qt's licence with where its source is and the script that built it.
# Usage: QT_VERSION=… QT_DEBIAN_VERSION=… QT_MINGW_SCRIPT=… scripts/windows-package.sh BUILD_DIR
# (make windows-package sets them).
set -eu
build=$1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=kestrane-$version-windows-x64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
for exe in src/app/kestrane.exe src/cli/kestrane-cli.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$name/$(basename "$exe")" "$build/$exe"
done
cp LICENSE "$stage/$name/LICENSE.txt"
cp /usr/share/common-licenses/LGPL-3 "$stage/$name/Qt-LICENSE-LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/$name/Qt-LICENSE-GPL-3.txt"
cp "$QT_MINGW_SCRIPT" "$stage/$name/Qt-build-qt-mingw.sh.txt"
cat > "$stage/$name/Qt-SOURCE.txt" <<TXT
kestrane.exe contains Qt $QT_VERSION (Core, Gui, Widgets and the Windows platform
and style plugins), linked statically, under the GNU LGPL version 3
(Qt-LICENSE-LGPL-3.txt, which adds to Qt-LICENSE-GPL-3.txt).

Qt's source is Debian's qt6-base package, version $QT_DEBIAN_VERSION
(https://snapshot.debian.org/package/qt6-base/$(echo "$QT_DEBIAN_VERSION" | sed 's/+/%2B/')/), built for
64-bit Windows with Debian 12's mingw-w64 by the script in
Qt-build-qt-mingw.sh.txt, which holds the one-line patch and every option
used. Kestrane's own source, with which kestrane.exe can be linked again
against a changed Qt, is open: see LICENSE.txt.
TXT
# The README's sections for people who use the programs, as plain text: the
# one source of what the zip's README says.
{
  awk '
    /^# / || /^## / { on = ($0 ~ /^# Kestrane$|^## Using the editor$|^## From scripts: kestrane-cli$|^## Windows$|^## What it knows$/) }
    /^\*\*Building it\*\*/ { on = 0 }
    on' README.md |
  sed -e '/^!\[/d' -e '/^```/d' -e 's/\*\*//g' -e 's/`//g' -e 's/\[\([^]]*\)\]([^)]*)/\1/g' \
      -e "s/^# Kestrane\$/Kestrane $version for 64-bit Windows/" -e 's/^## //'
  echo
  echo "Licences: LICENSE.txt (Kestrane), Qt-LICENSE-LGPL-3.txt and Qt-SOURCE.txt (Qt)."
} > "$stage/$name/README.txt"
# Windows line ends for the texts Notepad opens.
for text in "$stage/$name"/*.txt; do sed -i 's/$/\r/' "$text"; done
rm -f "$build/$name.zip"
(cd "$stage" && cmake -E tar cf "$OLDPWD/$build/$name.zip" --format=zip "$name")
echo "Wrote $build/$name.zip"
