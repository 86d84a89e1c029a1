#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, away from the sources, and
# uses it as an integrator and an operator would:
#   - every installed program and library finds all its libraries inside the
#     installed tree or the system, none in the build tree;
#   - the driver guide's example builds against the installed driver with
#     pkg-config and with find_package(lumex_32), and both run on the bench;
#   - verisk --help, and a headless scripted verification run from the
#     installed verisk with the installed example script; the installed
#     panelhost opening a module's panel with the installed plug-in;
#   - the installed Python package, imported by Debian's interpreter outside
#     the source tree, finds the installed driver and takes a block.
#   check_install.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: check_install.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d /tmp/sorvi-install-check.XXXXXX)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "check_install: $*" >&2; exit 1; }
unset LD_LIBRARY_PATH SORVI_BENCH SORVI_PLUGIN SORVI_SCRIPT SORVI_SCREENSHOTS
export QT_QPA_PLATFORM=offscreen

cmake --install "$build" --prefix "$prefix" >/dev/null

# Libraries: every installed ELF file resolves all its libraries, none from the build tree.
count=0
while IFS= read -r file; do
    file -b "$file" | grep -q '^ELF' || continue
    libs="$(ldd "$file")"
    if grep -q 'not found' <<<"$libs"; then fail "$file: $(grep 'not found' <<<"$libs" | tr -s '\t ' ' ')"; fi
    if grep -qF "$build" <<<"$libs"; then fail "$file loads from the build tree: $(grep -F "$build" <<<"$libs")"; fi
    if readelf -d "$file" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then fail "$file: run path into the build tree"; fi
    count=$((count + 1))
done < <(find "$prefix/bin" "$prefix/lib" -type f)
[ "$count" -ge 8 ] || fail "only $count programs and libraries installed"
for f in bin/verisk bin/panelhost include/lumex_32/lumex.h include/lumex_32/visatype.h include/lumex_32/tarvo_32.h \
         share/applications/verisk.desktop share/applications/panelhost.desktop; do
    [ -f "$prefix/$f" ] || fail "$f is not installed"
done
driver="$(find "$prefix/lib" -maxdepth 2 -name 'liblumex_32.so.1' | head -n1)"
[ -n "$driver" ] && [ -L "$(dirname "$driver")/liblumex_32.so" ] || fail "liblumex_32.so.1 or its .so link missing"
readelf -d "$driver" | grep -q 'SONAME.*\[liblumex_32.so.1\]' || fail "liblumex_32 has no soname liblumex_32.so.1"

# The example, outside the source tree, built both ways and run on the bench.
example="$(find "$prefix/share/doc" -name lumex_block.c | head -n1)"
[ -n "$example" ] || fail "the driver guide's example is not installed"
mkdir "$work/app"
cp "$example" "$(dirname "$example")/CMakeLists.txt" "$work/app/"
pcdir="$(dirname "$(find "$prefix" -name lumex_32.pc | head -n1)")"
(cd "$work/app" &&
    cc -std=c99 -Wall -Wextra -Werror lumex_block.c $(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs lumex_32) \
        -o lumex_block_pc) || fail "the example does not build with pkg-config"
cmake -S "$work/app" -B "$work/app/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" >/dev/null || fail "find_package(lumex_32) failed"
cmake --build "$work/app/build" >/dev/null || fail "the example does not build with find_package(lumex_32)"
for program in "$work/app/lumex_block_pc" "$work/app/build/lumex_block"; do
    out="$("$program")" || fail "$program failed on the bench: $out"
    grep -Eq 'channels 1-32: [01]{24}10101010$' <<<"$out" || fail "$program read unexpected channels: $out"
done

# The operator's side: usage, and a whole scripted verification on the bench.
"$prefix/bin/verisk" --help | grep -q '^usage: verisk' || fail "verisk --help"
"$prefix/bin/panelhost" --help | grep -q '^usage: panelhost' || fail "panelhost --help"
mkdir "$work/run"
(cd "$work/run" && "$prefix/bin/verisk" --script "$prefix/share/sorvi/verify/full_verification.script" \
    >"$work/run/out.txt" 2>&1) || { cat "$work/run/out.txt" >&2; fail "the scripted verification failed"; }
[ -s "$work/run/sorvi.log" ] || fail "the scripted verification wrote no protocol"
(cd "$work/run" && "$prefix/bin/panelhost" --script "$here/host_opens_panel.tks" >"$work/run/host.txt" 2>&1) ||
    { cat "$work/run/host.txt" >&2; fail "the installed host did not open the installed plug-in's panel"; }

# The Python package, from the prefix, run from a folder outside the tree.
site="$prefix/lib/python3/dist-packages"
[ -f "$site/sorvi/__init__.py" ] && [ -f "$site/sorvi/_installed.py" ] || fail "the Python package is not installed"
(cd "$work/run" && env -u SORVI_LIB_DIR PYTHONPATH="$site" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 - "$prefix" \
    >"$work/run/python.txt" 2>&1 <<'PYTHON'
import sys
import sorvi
prefix = sys.argv[1]
assert sorvi.__file__.startswith(prefix), sorvi.__file__
assert sorvi.driver_library() == prefix + "/lib/liblumex_32.so.1", sorvi.driver_library()
assert sorvi.visa_library().startswith(prefix + "/lib/sorvi/"), sorvi.visa_library()
assert [c.resource for c in sorvi.scan()][0] == "VXI0::24::INSTR"
with sorvi.open("VXI0::24::INSTR", 1) as module:
    module.relays = True
    frames = module.acquire(mode="block", period=1e-3, frames=200)
# Channels 25-32 of the default bench read 10101010 at 2.0 V.
assert "".join("1" if b else "0" for b in sorvi.bits(frames[-1])[24:]) == "10101010", hex(frames[-1])
print("python ok")
PYTHON
) || { cat "$work/run/python.txt" >&2; fail "the installed Python package did not work outside the tree"; }
echo "check_install: $count programs and libraries, both example builds, the scripted verification and the Python package passed"
