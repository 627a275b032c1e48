#!/bin/sh
# The installation, checked from the installed files: install_test.sh CASE
# BUILD_DIR. Each case installs the build into a DESTDIR of its own under a
# temporary folder, so the cases run side by side.
#
# A folder the user cannot write is made real, not pretended: the tests run
# as root, whom no permission bit stops, so as root the installed quenlo runs
# as the user nobody (setpriv) in a tree owned by root; as anyone else the
# installed bin folder is made read-only.
set -eu

case_name="$1"
build="$(cd "$2" && pwd)"
app_id=net.quenlo.Quenlo

tmp="$(mktemp -d)"
market_pid=
cleanup() {
  [ -z "$market_pid" ] || kill "$market_pid" 2>/dev/null || true
  chmod -R u+w "$tmp" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
chmod 755 "$tmp"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# install_into ROOT [PREFIX]: what `make install DESTDIR=ROOT PREFIX=...` runs.
install_into() {
  DESTDIR="$1" cmake --install "$build" --prefix "${2:-/usr}" >"$tmp/install.log" ||
    { cat "$tmp/install.log" >&2; fail "cmake --install into $1"; }
}

expect_file() {
  [ -f "$1" ] || fail "missing $1"
}

expect_program() {
  [ -f "$1" ] && [ -x "$1" ] || fail "missing or not executable: $1"
}

# The files every installation holds, under ROOT/PREFIX.
check_layout() {
  usr="$1"
  [ "$(ls "$usr/bin")" = quenlo ] || fail "bin holds $(ls "$usr/bin" | tr '\n' ' '), not quenlo alone"
  expect_program "$usr/bin/quenlo"
  expect_program "$usr/libexec/quenlo/pitrel"
  for helper in "$usr"/libexec/quenlo/*; do expect_program "$helper"; done
  expect_file "$usr/share/quenlo/schema.sql"
  expect_file "$usr/share/applications/$app_id.desktop"
  expect_file "$usr/share/metainfo/$app_id.metainfo.xml"
  expect_file "$usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  for size in 16 22 24 32 48 64 128 256 512; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    file "$png" | grep -q "PNG image data, $size x $size" || fail "$png is no ${size}x$size PNG"
  done
  for page in quenlo pitrel; do
    gzip -t "$usr/share/man/man1/$page.1.gz" || fail "$page.1.gz is not gzip"
  done
  # No record base, test program or sample server is installed.
  stray="$(find "$usr" -name 'DATA.mdb*' -o -name '*test*' -o -name 'sample-marketplace' \
    -o -name 'quenlo-create-database')"
  [ -z "$stray" ] || fail "installed by mistake: $stray"
}

case_layout() {
  install_into "$tmp/root"
  check_layout "$tmp/root/usr"
  # Another prefix moves everything along with it.
  install_into "$tmp/other" /opt/quenlo
  check_layout "$tmp/other/opt/quenlo"
}

case_desktop() {
  install_into "$tmp/root"
  share="$tmp/root/usr/share"
  desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
  entry="$share/applications/$app_id.desktop"
  grep -qx "Exec=quenlo" "$entry" || fail "the entry does not start the installed quenlo"
  grep -qx "Icon=$app_id" "$entry" || fail "the entry's icon is not the installed one"
  grep -qx "Categories=Office;Database;Qt;" "$entry" || fail "categories"
  grep -q "^Name\[zh_CN\]=" "$entry" || fail "no Chinese name"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$share/metainfo/$app_id.metainfo.xml" || fail "the metainfo does not name the entry"
}

case_man() {
  install_into "$tmp/root"
  for page in quenlo pitrel; do
    MANWIDTH=80 man --warnings -l "$tmp/root/usr/share/man/man1/$page.1.gz" \
      >"$tmp/$page.txt" 2>"$tmp/$page.err" || fail "man -l $page.1.gz"
    [ ! -s "$tmp/$page.err" ] || { cat "$tmp/$page.err" >&2; fail "$page.1 renders with warnings"; }
    for section in NAME SYNOPSIS DESCRIPTION ENVIRONMENT "EXIT STATUS"; do
      grep -q "^$section" "$tmp/$page.txt" || fail "$page.1 has no $section"
    done
  done
}

# Starts the sample marketplace and puts its hosts into the environment.
start_marketplace() {
  "$build/sample-marketplace" --members 120 >"$tmp/market.txt" &
  market_pid=$!
  for _ in $(seq 100); do
    grep -q '^QUENLO_DIRECTORY_HOST=' "$tmp/market.txt" && break
    sleep 0.1
  done
  for line in $(grep '^QUENLO_' "$tmp/market.txt"); do export "$line"; done
  [ -n "${QUENLO_MAIN_HOST:-}" ] || fail "the sample marketplace did not start"
}

# installed HOME ARGS...: the installed quenlo, with that tree's library path,
# a home of its own and nothing else of quenlo's environment, run as whoever
# $run_as makes it.
run_as=
installed() {
  home="$1"
  shift
  $run_as env -u QUENLO_DATA_DIR -u QUENLO_PITREL -u QUENLO_WORK_DIR -u XDG_DATA_HOME \
    -u XDG_CACHE_HOME -u XDG_CONFIG_HOME -u XDG_RUNTIME_DIR -u DISPLAY -u WAYLAND_DISPLAY \
    HOME="$home" LD_LIBRARY_PATH="$tmp/root/usr/lib:$tmp/root/usr/lib/$(uname -m)-linux-gnu" \
    "$tmp/root/usr/bin/quenlo" "$@"
}

# From here on the installed tree cannot be written by whoever runs it.
make_tree_read_only() {
  chmod -R a-w "$tmp/root"
  if [ "$(id -u)" -eq 0 ]; then
    run_as="setpriv --reuid=nobody --regid=nogroup --clear-groups --"
    chown nobody:nogroup "$1"
  fi
}

case_run() {
  install_into "$tmp/root"
  bin="$tmp/root/usr/bin"
  start_marketplace

  # A record base beside a read-only quenlo is not the one used.
  installed "$tmp" --create-database "$bin" >/dev/null || fail "--create-database beside quenlo"
  cp "$bin/DATA.mdb" "$tmp/beside-before.mdb"
  home="$tmp/home"
  mkdir -p "$home"
  make_tree_read_only "$home"

  installed "$home" members hits95 >"$tmp/out" 2>"$tmp/err" ||
    { cat "$tmp/err" >&2; fail "the installed quenlo's harvest failed"; }
  user_base="$home/.local/share/quenlo/DATA.mdb"
  grep -qF "first start: made an empty record base, $user_base" "$tmp/err" ||
    { cat "$tmp/err" >&2; fail "no first-start message naming $user_base"; }
  expect_file "$user_base"
  cmp -s "$bin/DATA.mdb" "$tmp/beside-before.mdb" || fail "the base beside the read-only quenlo changed"

  installed "$home" export "$home/all.csv" 2>"$tmp/err" ||
    { cat "$tmp/err" >&2; fail "the installed quenlo's export failed"; }
  rows="$(grep -c . "$home/all.csv")"
  [ "$rows" -eq 96 ] || fail "the user's base holds $((rows - 1)) members, not 95"
  if grep -q "first start" "$tmp/err"; then fail "a second start made the base again"; fi

  # The installed worker reads a saved page with the companions installed beside it.
  printf '<html><body>saved</body></html>' >"$home/saved.html"
  (cd "$home" && $run_as "$tmp/root/usr/libexec/quenlo/pitrel" \
    "file://$home/saved.html‖Temp_saved‖1") || fail "the installed pitrel cannot read a file address"
  [ -f "$home/Temp_saved" ] || fail "the installed pitrel wrote no result"
}

case_run_beside() {
  install_into "$tmp/root"
  bin="$tmp/root/usr/bin"
  start_marketplace
  home="$tmp/home"
  mkdir -p "$home"
  installed "$home" --create-database "$bin" >/dev/null || fail "--create-database beside quenlo"
  installed "$home" members hits95 >"$tmp/out" 2>"$tmp/err" ||
    { cat "$tmp/err" >&2; fail "the installed quenlo's harvest failed"; }
  if grep -q "first start" "$tmp/err"; then fail "a base was made though one is beside quenlo"; fi
  [ ! -e "$home/.local/share/quenlo" ] || fail "a per-user base was made"
  installed "$home" export "$home/all.csv" 2>"$tmp/err" || fail "export"
  [ "$(grep -c . "$home/all.csv")" -eq 96 ] || fail "the base beside quenlo did not get the members"
}

case "$case_name" in
  layout) case_layout ;;
  desktop) case_desktop ;;
  man) case_man ;;
  run) case_run ;;
  run-beside) case_run_beside ;;
  *) fail "unknown case $case_name" ;;
esac
