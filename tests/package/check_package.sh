#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it as a machine that installs it
# meets it: the files it holds, the dependencies read from the shared libraries the programs
# link, the desktop entry, metainfo, icons and man pages through their validators, and both
# programs run from a scratch root the package was unpacked into.
# Usage: check_package.sh BUILD_DIR VERSION
set -uo pipefail
build="$1"
version="$2"
app_id=org.riffscope.RiffScope
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

problems=()
problem() { problems+=("$*"); }
finish() {
  if [ ${#problems[@]} -eq 0 ]; then
    echo "1 passed, 0 failed"
    exit 0
  fi
  for p in "${problems[@]}"; do echo "check_package: FAILED: $p" >&2; done
  echo "0 passed, 1 failed"
  exit 1
}
stop() { problem "$*"; finish; }

# The package, built into the scratch folder so that the build tree stays as it was.
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  stop "cpack -G DEB did not build the package (log above)"
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || stop "cpack made ${#debs[@]} .deb files, not one: ${debs[*]}"
deb="${debs[0]}"

# The files it holds.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents" ||
  stop "dpkg-deb -c cannot list $deb"
expected=(
  /usr/bin/riffscope
  /usr/bin/riffdump
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  /usr/share/man/man1/riffscope.1
  /usr/share/man/man1/riffdump.1
)
sizes=(16 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/contents" || problem "the package lacks $path"
done

# Its control fields: the dependencies come from dpkg-shlibdeps, so the Qt libraries the
# programs link must be named.
[ "$(dpkg-deb -f "$deb" Package)" = riffscope ] || problem "the package is not named riffscope"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
  problem "the package's version is '$(dpkg-deb -f "$deb" Version)', not $version"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
  grep -q "\b$library\b" <<<"$depends" || problem "Depends does not name $library: $depends"
done

# The files themselves, as the package unpacks them.
root="$work/root"
dpkg -x "$deb" "$root" || stop "dpkg -x cannot unpack $deb"

desktop="$root/usr/share/applications/$app_id.desktop"
if ! desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || [ -s "$work/desktop.log" ]; then
  problem "desktop-file-validate: $(cat "$work/desktop.log")"
fi
grep -qx 'Exec=riffscope %f' "$desktop" || problem "the desktop entry does not start 'riffscope %f'"
grep -qx "Icon=$app_id" "$desktop" || problem "the desktop entry does not name the icon $app_id"

metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" >"$work/metainfo.log" 2>&1 ||
  problem "appstreamcli validate --no-net --strict: $(cat "$work/metainfo.log")"
grep -q "<release version=\"$version\"" "$metainfo" || problem "the metainfo has no release $version"

xmllint --noout "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" 2>"$work/svg.log" ||
  problem "the SVG icon is not well-formed XML: $(cat "$work/svg.log")"
for size in "${sizes[@]}"; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ -f "$png" ] || continue
  file -b "$png" | grep -q "^PNG image data, $size x $size," ||
    problem "the ${size}x${size} icon is $(file -b "$png")"
done

# The programs run from the scratch root with the system's libraries and no display.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
for program in riffdump riffscope; do
  out="$(run "$root/usr/bin/$program" --version 2>"$work/$program.err")"
  status=$?
  [ $status -eq 0 ] && [ "$out" = "$program $version" ] ||
    problem "$program --version from the package gave status $status and '$out' $(cat "$work/$program.err")"
done
run "$root/usr/bin/riffscope" --render "$work/window.png" >/dev/null 2>"$work/render.err" ||
  problem "riffscope --render from the package failed: $(cat "$work/render.err")"
[ -f "$work/window.png" ] && file -b "$work/window.png" | grep -q '^PNG image data' ||
  problem "riffscope --render from the package wrote no PNG picture"

# The man pages: no warnings from groff, and every option the programs list is described.
for program in riffdump riffscope; do
  page="$root/usr/share/man/man1/$program.1"
  [ -f "$page" ] || continue
  LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" >"$work/man.log" 2>&1
  [ -s "$work/man.log" ] && problem "groff warns about $program.1: $(cat "$work/man.log")"
  LC_ALL=C.UTF-8 groff -man -Tascii -P-cbou "$page" 2>/dev/null >"$work/$program.txt"
  grep -qE "^ *$program +- " "$work/$program.txt" || problem "$program.1 has no NAME line for $program"
  options="$(run "$root/usr/bin/$program" --help | grep -oE '(^|[ ,])--?[a-z0-9][a-z0-9-]*' |
    sed 's/^[ ,]*//' | sort -u)"
  [ -n "$options" ] || problem "$program --help lists no options"
  for option in $options; do
    grep -qE -- "(^|[^a-z0-9-])$option([^a-z0-9-]|$)" "$work/$program.txt" ||
      problem "$program.1 does not describe $option"
  done
done

finish
