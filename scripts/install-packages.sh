#!/usr/bin/env bash
# Installs the Debian packages of the build (.ci/packages.txt) that are not installed yet:
# directly as root, through sudo when a person is at the terminal, else it says what to
# install and fails.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian packages of the build that are not installed yet.
missing=()
if command -v dpkg-query >/dev/null; then
    while read -r package; do
        [ -z "$package" ] || [ "${package#\#}" != "$package" ] && continue
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done <.ci/packages.txt
fi
if [ ${#missing[@]} -gt 0 ]; then
    as_root=()
    if [ "$(id -u)" != 0 ]; then
        # Only with a person at the terminal to give sudo its password.
        if ! command -v sudo >/dev/null || [ ! -t 0 ]; then
            echo "Missing packages: ${missing[*]}" >&2
            echo "Install them with: sudo apt-get install ${missing[*]}" >&2
            exit 1
        fi
        echo "Installing the missing build packages with sudo: ${missing[*]}"
        as_root=(sudo)
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
