#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and holds it to what a user relies on: lintian
# without errors, the desktop entry and AppStream data valid, the icons at every size, the man
# page and completion in step with orven-cli, the maintainer scripts quiet without udev and never
# failing because of it; then installs it with dpkg, runs both programs from /usr/bin, finds the
# man pages, purges it and checks that nothing of it is left.
# Needs root (it installs and purges the package); purges an orven-clone installed before it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
    echo "check-package: run as root (it installs and purges the package)" >&2
    exit 2
fi

deb=$(./scripts/package.sh | tail -n 1)
version=$(dpkg-deb -f "$deb" Version)
echo "check-package: checking $deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "check-package: FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() { echo "check-package: ok: $*"; }

# --- The package as built ---------------------------------------------------------------------
if lintian --fail-on error --info "$deb" >"$work/lintian" 2>&1; then
    pass "lintian reports no errors"
else
    fail "lintian reports errors"
fi
grep -E '^[EWI]: ' "$work/lintian" || true

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/orven-clone.desktop" &&
    pass "desktop-file-validate" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml &&
    pass "appstreamcli validate --no-net" || fail "appstreamcli validate --no-net"

for size in 16 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/orven-clone.png
    [[ $(file -b "$png" 2>/dev/null) == "PNG image data, $size x $size,"* ]] ||
        fail "no ${size}x${size} PNG icon"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/orven-clone.svg" ] || fail "no scalable icon"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libhidapi-hidraw0 libqt6widgets6; do
    [[ $depends == *"$library "* ]] || fail "Depends does not name $library: $depends"
done

# The maintainer scripts with a stand-in udevadm that logs its calls and fails: without udev's
# control socket nothing is called; with it, the rules are reloaded and usb and hidraw replayed,
# and the failing udevadm fails nothing.
dpkg-deb -e "$deb" "$work/control"
mkdir "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s/udevadm.log"\nexit 1\n' "$work" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
run_script() { PATH="$work/bin:$PATH" "$work/control/$1" "$2"; }
udev_control=/run/udev/control
if [ ! -e "$udev_control" ]; then
    for script in postinst:configure postrm:remove; do
        run_script "${script%%:*}" "${script#*:}" || fail "${script%%:*} fails without udev"
    done
    [ ! -e "$work/udevadm.log" ] || fail "the maintainer scripts call udevadm without udev running"
    [ -d "$(dirname "$udev_control")" ] || made_folder=yes
    mkdir -p "$(dirname "$udev_control")"
    touch "$udev_control"
    made_control=yes
fi
for script in postinst:configure postrm:remove; do
    rm -f "$work/udevadm.log"
    run_script "${script%%:*}" "${script#*:}" || fail "${script%%:*} fails when udevadm fails"
    log=$(cat "$work/udevadm.log" 2>/dev/null || true)
    [[ $log == *"control --reload"* && $log == *"--subsystem-match=usb"* && $log == *"--subsystem-match=hidraw"* ]] ||
        fail "${script%%:*} ${script#*:} did not reload and trigger udev: $log"
done
[ "${made_control:-}" = yes ] && rm -f "$udev_control"
[ "${made_folder:-}" = yes ] && rmdir "$(dirname "$udev_control")"
pass "maintainer scripts"

# --- Installed --------------------------------------------------------------------------------
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' | grep -v '^$' | sort >"$work/files"
if [[ $(dpkg-query -W -f='${Status}' orven-clone 2>/dev/null || true) == *installed ]]; then
    echo "check-package: purging the orven-clone installed before"
    dpkg --purge orven-clone
fi
if ! dpkg -i "$deb"; then
    DEBIAN_FRONTEND=noninteractive apt-get install -f -y -qq
fi
[ "$(dpkg-query -W -f='${Status}' orven-clone)" = "install ok installed" ] || fail "the package did not install"

[ "$(/usr/bin/orven-cli --version)" = "orven-cli $version" ] || fail "/usr/bin/orven-cli --version"
[ "$(QT_QPA_PLATFORM=offscreen /usr/bin/orven-clone --version)" = "orven-clone $version" ] ||
    fail "/usr/bin/orven-clone --version"
for page in orven-cli orven-clone; do
    [ "$(man -w "$page")" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page renders with warnings: $warnings"
    [[ $(LC_ALL=C.UTF-8 man "$page" 2>/dev/null) == *"ORVEN Clone $version"* ]] || fail "man $page does not name version $version"
done
for option in $(QT_QPA_PLATFORM=offscreen /usr/bin/orven-clone --help | grep -oE '^ +--[a-z-]+'); do
    [[ $(zcat /usr/share/man/man1/orven-clone.1.gz) == *"${option//-/\\-}"* ]] || fail "orven-clone(1) does not name $option"
done
packaging/check-cli-docs.sh /usr/bin/orven-cli /usr/share/man/man1/orven-cli.1.gz \
    /usr/share/bash-completion/completions/orven-cli || fail "the man page or completion of orven-cli"
pass "installed: both programs run from /usr/bin as $version; man pages and completion"

# --- Purged -----------------------------------------------------------------------------------
dpkg --purge orven-clone
! dpkg-query -W orven-clone >/dev/null 2>&1 || fail "dpkg still knows orven-clone after the purge"
# Whatever the package held and no other package owns must be gone: its files, and folders of
# its own (shared folders such as /usr/bin stay).
left=0
while read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        dpkg-query -S "$path" >/dev/null 2>&1 && continue
        [ -n "$(ls -A "$path")" ] && continue
    fi
    echo "check-package: left after purge: $path" >&2
    left=$((left + 1))
done <"$work/files"
[ "$left" -eq 0 ] && pass "purged: nothing of the package left" || fail "$left path(s) left after purge"

if [ "$failures" -gt 0 ]; then
    echo "check-package: $failures failure(s)" >&2
    exit 1
fi
echo "check-package: $deb passed"
