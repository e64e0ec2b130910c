#!/bin/sh
# The Windows release zip: kestrane.exe and kestrane-cli.exe (stripped, one
# file each, no DLLs), a short README, Kestrane's licence, and Qt's licence
# with where its source is.
# Usage: scripts/windows-package.sh BUILD_DIR
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
cat > "$stage/$name/Qt-SOURCE.txt" <<TXT
kestrane.exe contains Qt 6.4.2 (Core, Gui, Widgets and the Windows platform
and style plugins), linked statically, under the GNU LGPL version 3
(Qt-LICENSE-LGPL-3.txt, which adds to Qt-LICENSE-GPL-3.txt).

Qt's source is Debian's qt6-base package, version 6.4.2+dfsg-10
(https://snapshot.debian.org/package/qt6-base/6.4.2%2Bdfsg-10/), built for
64-bit Windows with Debian 12's mingw-w64 by build-qt-mingw.sh, which holds
the one-line patch and every option used. Kestrane's own source, with which
kestrane.exe can be linked again against a changed Qt, is open: see LICENSE.txt.
TXT
cat > "$stage/$name/README.txt" <<TXT
Kestrane $version for 64-bit Windows

Kestrane edits the in-game trades stored in the cartridge images (.gb,
.gbc) of the English editions of Pokemon Gold, Silver and Crystal: the
species asked for and offered, the nickname, the trainer's name (OT) and the
ID, the held item, the DVs (with shiny, HP DV and gender read-outs), the
gender the trader asks for and the trader's lines. It finds the trade table
of ROM hacks that moved it, writes only the bytes you changed, keeps the
ROM's checksums consistent, and never reports a failure as success.

Start
  Double-click kestrane.exe, or drop a .gb/.gbc file on it, or run
      kestrane.exe "C:\\ROMs\\crystal.gbc"
  File > Open ROM... (Ctrl+O) opens a ROM; pick a Trade Number, edit, Save
  (Ctrl+S). Trade > More Fields... (Ctrl+M) edits the item, DVs, gender
  requirement and dialog set. No installation: both programs are single
  files that need nothing beside them.

Command line (for scripts)
  kestrane-cli info crystal.gbc
  kestrane-cli list crystal.gbc
  kestrane-cli show crystal.gbc 1 --json
  kestrane-cli set crystal.gbc 1 --offered Celebi --nickname LEAFY --id 4242
  kestrane-cli set crystal.gbc 1 --dvs 15/10/10/10 --item "Lucky Egg"
  kestrane-cli export crystal.gbc -o trades.json
  kestrane-cli import crystal.gbc trades.json
  kestrane-cli checksums crystal.gbc --fix
  kestrane-cli COMMAND --help explains each command. Exit codes: 0 done,
  1 refused (the file is unchanged), 2 usage error, 3 input/output failure.

Kestrane can save while an emulator holds the ROM open; a program that
locks others out of writing is reported, and nothing is written.

Licences: LICENSE.txt (Kestrane), Qt-LICENSE-LGPL-3.txt and Qt-SOURCE.txt (Qt).
TXT
# Windows line ends for the texts Notepad opens.
for text in "$stage/$name"/*.txt; do sed -i 's/$/\r/' "$text"; done
rm -f "$build/$name.zip"
(cd "$stage" && cmake -E tar cf "$OLDPWD/$build/$name.zip" --format=zip "$name")
echo "Wrote $build/$name.zip"
