#!/usr/bin/env bash
# Installs the built program into a temporary folder and builds its Debian
# package there, then checks what a desktop needs and starts the installed
# program (offscreen) up to its login window.
# Arguments: build folder, folder of the window-observing plugin.
set -uo pipefail
build=$1
plugins=$(realpath "$2")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
falhas=0
falha() { echo "FALHA: $*"; falhas=$((falhas + 1)); }

destino=$tmp/destino
DESTDIR=$destino cmake --install "$build" --prefix /usr/local >"$tmp/instalacao.log" 2>&1 \
  || { cat "$tmp/instalacao.log"; echo "FALHA: cmake --install"; exit 1; }
raiz=$destino/usr/local
programa=$raiz/bin/tivane-dizimos
entrada=$raiz/share/applications/tivane-dizimos.desktop
icone=$raiz/share/icons/hicolor/scalable/apps/tivane-dizimos.svg
[ -x "$programa" ] || falha "sem o executável $programa"
[ -f "$entrada" ] || falha "sem a entrada do menu $entrada"
[ -s "$icone" ] || falha "sem o ícone $icone"
if [ -f "$entrada" ]; then
  desktop-file-validate "$entrada" || falha "desktop-file-validate recusa a entrada do menu"
  grep -qx 'Icon=tivane-dizimos' "$entrada" || falha "a entrada do menu não usa o ícone instalado"
  grep -qx 'Exec=tivane-dizimos' "$entrada" || falha "a entrada do menu não abre o executável instalado"
fi

# The installed program, not the one in the build folder, starts and shows the login.
saida=$tmp/saida.txt
mkdir -p -m 700 "$tmp/run"
env -i PATH=/usr/bin:/bin HOME="$tmp/casa" XDG_CONFIG_HOME="$tmp/casa/.config" \
    XDG_DATA_HOME="$tmp/casa/.local/share" XDG_RUNTIME_DIR="$tmp/run" CUPS_SERVER=/nenhum \
    QT_QPA_PLATFORM=offscreen QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=observajanelas \
    timeout -k 5 60 "$programa" >"$saida" 2>"$tmp/erros.txt"
codigo=$?
[ $codigo -eq 0 ] || { cat "$tmp/erros.txt"; falha "o programa instalado terminou com o código $codigo"; }
grep -qx 'janela frmsenha: Tivane Dízimos 1.0 - Tivane System' "$saida" \
  || falha "o programa instalado não mostrou a janela de login"
grep -qx 'usuario: Master' "$saida" || falha "o login do programa instalado não lista Master"
for camada in core register tithes shell; do
  grep -q "^biblioteca: $raiz/lib/tivane-dizimos/libtivane-$camada.so" "$saida" \
    || falha "o programa instalado não usa a própria biblioteca $camada instalada"
done

# The package: its dependencies, and every library the running program loaded
# comes from them (or from the package itself).
mkdir -p "$tmp/pacote"
(cd "$build" && cpack -G DEB -B "$tmp/pacote") >"$tmp/pacote.log" 2>&1 \
  || { cat "$tmp/pacote.log"; echo "FALHA: cpack"; exit 1; }
deb=$(ls "$tmp"/pacote/*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  falha "cpack não gerou o pacote .deb"
else
  dependencias=$(dpkg-deb -f "$deb" Depends)
  for p in libqt6widgets6 libqt6printsupport6 libqt6multimedia6 libqt6multimediawidgets6 libqt6svg6 \
           libsqlcipher0 libfprint-2-2 gstreamer1.0-plugins-good fonts-liberation2 xdg-utils \
           qt6-translations-l10n; do
    grep -qE "(^|, )$p( |,|$)" <<<"$dependencias" || falha "o pacote não depende de $p"
  done
  conteudo=$(dpkg-deb -c "$deb")
  for f in ./usr/bin/tivane-dizimos ./usr/share/applications/tivane-dizimos.desktop \
           ./usr/share/icons/hicolor/scalable/apps/tivane-dizimos.svg; do
    grep -q " $f\$" <<<"$conteudo" || falha "o pacote não tem $f"
  done
  # Every package reachable from the dependencies.
  raizes=$(tr ',' '\n' <<<"$dependencias" | sed 's/(.*)//; s/|.*//; s/ //g' | grep .)
  alcance=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
              --no-breaks --no-replaces --no-enhances $raizes 2>/dev/null \
            | sed -n 's/^ *\(Pre\)\?Depends: <\?\([^ >:]*\).*/\2/p; s/^\([^ <]\S*\)$/\1/p' | sort -u)
  while read -r biblioteca; do
    case "$biblioteca" in "$raiz"/*|"$plugins"/*) continue ;; esac
    pacote=$(dpkg -S "$biblioteca" 2>/dev/null | head -n 1 | cut -d: -f1)
    # With /usr merged, dpkg may know the file under /lib.
    [ -n "$pacote" ] || pacote=$(dpkg -S "${biblioteca#/usr}" 2>/dev/null | head -n 1 | cut -d: -f1)
    if [ -z "$pacote" ]; then
      falha "nenhum pacote instalado fornece $biblioteca"
    elif ! grep -qx "$pacote" <<<"$alcance"; then
      falha "$biblioteca vem de $pacote, que o pacote não traz"
    fi
  done < <(sed -n 's/^biblioteca: //p' "$saida")
fi

[ $falhas -eq 0 ] && echo "instalação e pacote conferidos"
exit $((falhas > 0))
