#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run and be tested,
# only when some are missing.
set -euo pipefail
pacotes=(g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev
         libsqlcipher-dev fonts-liberation2 xdg-utils gstreamer1.0-plugins-good xvfb xauth
         libbenchmark-dev qt6-translations-l10n libfprint-2-dev desktop-file-utils
         pipewire pipewire-bin wireplumber gstreamer1.0-pipewire gstreamer1.0-tools dbus-daemon)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || faltam+=("$p")
done
[ ${#faltam[@]} -eq 0 ] && exit 0
echo "Instalando pacotes: ${faltam[*]}"
bash "$(dirname "$0")/como-root.sh" env DEBIAN_FRONTEND=noninteractive sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends "$@"' sh "${faltam[@]}"
