#!/usr/bin/env bash
# Installs the package built by check_deb.sh with apt, as a user would, or removes it.
# Usage: installed_package.sh install PACKAGE_DIR | remove
set -euo pipefail
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -n)
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q
    -o DPkg::Lock::Timeout=600)

case $1 in
install)
    shopt -s nullglob
    debs=("$2"/ampero_*.deb)
    [ ${#debs[@]} -eq 1 ] || { echo "expected one ampero_*.deb in $2"; exit 1; }
    "${apt[@]}" install --no-install-recommends "$(realpath "${debs[0]}")"
    dpkg-query -W -f='${Package} ${Version} ${Status}\n' ampero | grep -q 'install ok installed'
    [ -x /usr/bin/ampero ]
    ;;
remove)
    # Nothing to remove when the install itself failed.
    if dpkg-query -W -f='${Status}\n' ampero 2>/dev/null | grep -q 'ok installed'; then
        "${apt[@]}" remove ampero
    fi
    if dpkg-query -W -f='${Status}\n' ampero 2>/dev/null | grep -q 'ok installed'; then
        echo "ampero is still installed"
        exit 1
    fi
    [ ! -e /usr/bin/ampero ]
    ;;
*)
    echo "usage: $0 install PACKAGE_DIR | remove" >&2
    exit 2
    ;;
esac
