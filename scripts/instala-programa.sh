#!/usr/bin/env bash
# Installs the built program with CMake's install rules.
# Arguments: build folder, prefix, DESTDIR (may be empty).
set -euo pipefail

build=$1 prefixo=$2 destdir=${3:-}
destino=$destdir$prefixo
# The nearest folder that exists tells whether root is needed.
pasta=$destino
while [ ! -d "$pasta" ]; do pasta=$(dirname "$pasta"); done
if [ -w "$pasta" ]; then
  DESTDIR=$destdir cmake --install "$build" --prefix "$prefixo"
else
  bash "$(dirname "$0")/como-root.sh" env DESTDIR="$destdir" cmake --install "$build" --prefix "$prefixo"
fi
echo "Tivane Dízimos instalado em $destino."
