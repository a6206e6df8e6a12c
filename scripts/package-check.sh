#!/usr/bin/env bash
# Builds the Debian package from build/ (as scripts/build.sh or
# scripts/test.sh left it: an up-to-date build is not built again), installs
# it on this machine and checks the installed program: the menu entry and
# the metadata validate, quillmark-db answers, the demo server serves the
# installed site, and a first headless start of /usr/bin/quillmark makes the
# user's data folder with the default dirdata.xml in it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
    # Chromium's sandbox refuses to run as root.
    sandbox=(QTWEBENGINE_DISABLE_SANDBOX=1)
else
    sudo=(sudo)
    sandbox=()
fi

rm -f build/quillmark_*.deb
(cd build && cpack -G DEB)
packages=(build/quillmark_*.deb)
package="${packages[0]}"
echo "== $(basename "$package"): $(stat -c %s "$package") bytes"
echo "Depends: $(dpkg-deb -f "$package" Depends)"

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -q --reinstall --no-install-recommends "./$package"

echo "== installed files"
desktop-file-validate /usr/share/applications/example.quillmark.Quillmark.desktop
appstreamcli validate --no-net /usr/share/metainfo/example.quillmark.Quillmark.metainfo.xml
/usr/bin/quillmark --version
/usr/bin/quillmark-db --version
/usr/bin/quillmark-db check /usr/share/quillmark/dirdata.xml

work="$(mktemp -d)"
server=""
program=""
cleanup() {
    # Only the processes this script started.
    for pid in $server $program; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

echo "== the installed demo server"
/usr/bin/quillmark-demo-server --port 0 >"$work/server.log" &
server=$!
for _ in $(seq 100); do
    [ -s "$work/server.log" ] && break
    sleep 0.1
done
grep -F "serving /usr/share/quillmark/www " "$work/server.log"

echo "== a first start of /usr/bin/quillmark, headless, in a fresh home"
home="$work/home"
mkdir "$home"
data="$home/.local/share/Quillmark/quillmark"
env -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" QT_QPA_PLATFORM=offscreen \
    "${sandbox[@]}" timeout 60 /usr/bin/quillmark >"$work/quillmark.log" 2>&1 &
program=$!
for _ in $(seq 600); do
    [ -f "$data/dirdata.xml" ] && break
    sleep 0.1
done
# The window stays open until the time limit; the file is all that counts.
kill "$program" 2>/dev/null || true
wait "$program" || true
program=""
if ! cmp "$data/dirdata.xml" /usr/share/quillmark/dirdata.xml; then
    echo "the first start made no copy of dirdata.xml in $data" >&2
    cat "$work/quillmark.log" >&2
    exit 1
fi
if [ -e /usr/bin/dirdata.xml ] || [ -e /usr/bin/sv.dat ]; then
    echo "the installed program wrote its data beside itself in /usr/bin" >&2
    exit 1
fi
echo "package check passed: $data/dirdata.xml"
