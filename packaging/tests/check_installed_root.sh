#!/usr/bin/env bash
# Checks a root where the sorvi package is installed (under ROOT/usr):
#   check_installed_root.sh ROOT BUILD_DIR
# ROOT is / inside a chroot. The example sources and the host script
# host_opens_panel.tks are expected in ROOT/tmp.
set -euo pipefail
root="${1%/}"
build="$2"
fail() { echo "check_installed_root: $*" >&2; exit 1; }
unset LD_LIBRARY_PATH SORVI_BENCH SORVI_PLUGIN
export QT_QPA_PLATFORM=offscreen

files=("$root"/usr/bin/verisk "$root"/usr/bin/panelhost "$root"/usr/lib/liblumex_32.so.1 "$root"/usr/lib/sorvi/*.so)
for f in "${files[@]}"; do
    libs="$(ldd "$f")"
    if grep -q 'not found' <<<"$libs"; then fail "$f: $(grep 'not found' <<<"$libs")"; fi
    if grep -qF "$build" <<<"$libs"; then fail "$f loads from the build tree"; fi
    echo "  ${f#"$root"}: $(grep -c '=>' <<<"$libs") libraries, $(grep -c '/lib/sorvi/' <<<"$libs") of them private"
done

"$root/usr/bin/verisk" --help | head -n1
mkdir -p "$root/tmp/run"
(cd "$root/tmp/run" && "$root/usr/bin/verisk" --script "$root/usr/share/sorvi/verify/full_verification.script" >out.txt 2>&1) ||
    { cat "$root/tmp/run/out.txt" >&2; fail "the scripted verification failed"; }
echo "  scripted verification: $(wc -l <"$root/tmp/run/sorvi.log") protocol lines in sorvi.log"
(cd "$root/tmp/run" && "$root/usr/bin/panelhost" --script "$root/tmp/host_opens_panel.tks" >host.txt 2>&1) ||
    { cat "$root/tmp/run/host.txt" >&2; fail "the host did not open the plug-in's panel"; }
echo "  panelhost: the plug-in's panel opened"

# The Python package: on Debian's path inside the chroot, by PYTHONPATH in an unpacked root.
site=()
[ "$root" = "" ] || site=(PYTHONPATH="$root/usr/lib/python3/dist-packages")
(cd "$root/tmp/run" && env "${site[@]}" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c '
import sys, sorvi
assert sorvi.driver_library() == sys.argv[1] + "/usr/lib/liblumex_32.so.1", sorvi.driver_library()
with sorvi.open("VXI0::24::INSTR", 1) as module:
    module.relays = True
    print(len(module.acquire(mode="block", period=1e-3, frames=100)), "frames")
' "$root" >python.txt 2>&1) || { cat "$root/tmp/run/python.txt" >&2; fail "the Python package did not work"; }
echo "  python3: sorvi took $(cat "$root/tmp/run/python.txt") with the installed driver"

if [ "$root" = "" ]; then
    # Inside the chroot the package is the system's: no paths needed.
    cd /tmp
    cc lumex_block.c $(pkg-config --cflags --libs lumex_32) -o lumex_block_pc || fail "pkg-config build"
    cmake -S /tmp -B /tmp/build -G Ninja >/dev/null || fail "find_package(lumex_32)"
    cmake --build /tmp/build >/dev/null || fail "find_package build"
else
    cd "$root/tmp"
    cc lumex_block.c $(PKG_CONFIG_PATH="$root/usr/lib/pkgconfig" pkg-config --cflags --libs lumex_32) -o lumex_block_pc ||
        fail "pkg-config build"
    cmake -S "$root/tmp" -B "$root/tmp/build" -G Ninja -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null || fail "find_package(lumex_32)"
    cmake --build "$root/tmp/build" >/dev/null || fail "find_package build"
fi
for program in ./lumex_block_pc ./build/lumex_block; do
    out="$("$program")" || fail "$program: $out"
    grep -Eq 'channels 1-32: [01]{24}10101010$' <<<"$out" || fail "$program read unexpected channels: $out"
    echo "  $program: $(tail -n1 <<<"$out")"
done
