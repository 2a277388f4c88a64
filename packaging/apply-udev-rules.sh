#!/bin/sh
# postinst and postrm of orven-clone: after an install and after a removal, reload the udev rules
# and replay the radio's device events, so the radio's permissions follow the package without a
# reboot or a replug. Where udev is not running (a container, a chroot, an image being built)
# there is nothing to reload; udev never fails the package operation.
set -e

apply_udev_rules() {
    [ -e /run/udev/control ] || return 0
    command -v udevadm >/dev/null 2>&1 || return 0
    udevadm control --reload || true
    udevadm trigger --action=change --subsystem-match=usb --attr-match=idVendor=0483 --attr-match=idProduct=5750 || true
    udevadm trigger --action=change --subsystem-match=hidraw || true
}

case "$1" in
    configure | remove) apply_udev_rules ;;
esac

exit 0
