#!/usr/bin/env bash
# Runs the command given as root: directly when already root, otherwise through
# sudo, or through su (asks the root password) where the user has no sudo.
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec "$@"
elif command -v sudo >/dev/null 2>&1 && sudo -v; then
  exec sudo "$@"
else
  echo "Digite a senha do administrador (root) para continuar."
  exec su root -c "$(printf '%q ' "$@")"
fi
