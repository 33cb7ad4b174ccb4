#!/usr/bin/env bash
# Installs a build into a temporary prefix (install), or makes its Debian
# package and unpacks it (package), and checks what lands there: the two
# programs, the desktop entry, the icon at each size; the installed batch
# analyses the sample and the installed desktop program starts.
#   tests/install/install_test.sh install|package BUILD_DIR SOURCE_DIR
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The width and height in a PNG file's header.
png_size() {
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

check_tree() {
  local prefix=$1
  for program in vandrel vandrel-batch; do
    [ -x "$prefix/bin/$program" ] || fail "$prefix/bin/$program is missing"
    ! readelf -d "$prefix/bin/$program" | grep -E 'R(UN)?PATH' | grep -qF "$build" ||
      fail "$program still looks for libraries in the build folder"
    ! ldd "$prefix/bin/$program" | grep -q 'not found' || fail "$program lacks a library: $(ldd "$prefix/bin/$program")"
  done

  local entry=$prefix/share/applications/vandrel.desktop
  [ -f "$entry" ] || fail "the desktop entry is missing"
  local report
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
  ! grep -qiE 'error|warning' <<<"$report" || fail "desktop-file-validate: $report"
  for line in 'Type=Application' 'Name=Vandrel' 'Name[ja]=C言語 ソルメダ解析プログラム' 'Exec=vandrel' \
    'Icon=vandrel' 'Categories=Development;'; do
    grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
  done
  grep -q '^Comment\[ja\]=.' "$entry" || fail "the desktop entry lacks Comment[ja]"

  for size in 48 64 128 256; do
    local icon=$prefix/share/icons/hicolor/${size}x${size}/apps/vandrel.png
    [ -f "$icon" ] || fail "the ${size} px icon is missing"
    [ "$(head -c 4 "$icon" | od -An -c | tr -d ' ')" = '211PNG' ] || fail "$icon is no PNG file"
    [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is $(png_size "$icon")"
  done

  # The installed batch analyses the sample.
  local run=$tmp/run-$RANDOM
  mkdir -p "$run/out"
  cp "$source/examples/sample/DefList.txt" "$run/"
  local index
  index=$(cd "$run" && "$prefix/bin/vandrel-batch" analyse "$source/examples/sample" out 2>"$run/stderr") ||
    fail "the installed batch failed: $(cat "$run/stderr")"
  (cd "$run" && [ -f "$index" ]) || fail "the installed batch wrote no report ($index)"

  # The installed desktop program starts and stays up; its plain start writes
  # the D-Bus service file that starts it again.
  local status=0
  (cd "$run" && XDG_DATA_HOME="$run/data" QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/vandrel" \
    >"$run/gui.log" 2>&1) || status=$?
  [ "$status" -eq 124 ] || fail "the installed desktop program ended with $status: $(cat "$run/gui.log")"
  grep -qxF "Exec=\"$prefix/bin/vandrel\" -Automation" "$run/data/dbus-1/services/Vandrel.Application.service" ||
    fail "the D-Bus service file does not start the installed program"
}

case $mode in
  install)
    cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
    check_tree "$tmp/prefix"
    ;;
  package)
    (cd "$build" && cpack -G DEB -B "$tmp/package" >/dev/null)
    debs=("$tmp"/package/vandrel_*.deb)
    [ -f "${debs[0]}" ] || fail "cpack made no vandrel_*.deb"
    deb=${debs[0]}
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6; do
      grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
    done
    recommends=$(dpkg-deb -f "$deb" Recommends Depends)
    grep -q 'qt6-translations-l10n' <<<"$recommends" || fail "qt6-translations-l10n is not recommended"
    dpkg-deb -x "$deb" "$tmp/root"
    check_tree "$tmp/root/usr"
    ;;
  *) fail "usage: install_test.sh install|package BUILD_DIR SOURCE_DIR" ;;
esac
echo "$mode: ok"
