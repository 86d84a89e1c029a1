#!/usr/bin/env bash
# Builds the Debian package from a built tree and installs it into a
# throw-away root, then uses the installed programs and driver there:
#   - as root with mount rights: an overlay of this system in a chroot,
#     installed with apt (apt install ./sorvi_*.deb), every change
#     dropped at the end;
#   - otherwise, or with SORVI_PACKAGE_CHECK=dpkg: dpkg --root --unpack into
#     an empty folder (dependencies taken from this system).
# In the root: no installed program or library lacks a library or loads one
# from the build tree, verisk --help, a headless scripted verification, and
# the driver guide's example built with pkg-config and find_package and run.
#   check_package.sh BUILD_DIR
set -euo pipefail
build="$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
fail() { echo "check_package: $*" >&2; exit 1; }

rm -f "$build"/sorvi_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB failed"
deb="$(ls "$build"/sorvi_*.deb)"
echo "check_package: $(basename "$deb"), $(dpkg-deb -c "$deb" | grep -vc '/$') files"
dpkg-deb -f "$deb" Package Version Architecture Depends

work="$(mktemp -d /tmp/sorvi-package-check.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp "$deb" "$work/"
cp "$here/check_installed_root.sh" "$here/host_opens_panel.tks" "$work/"
cp "$(dirname "$here")/example/lumex_block.c" "$(dirname "$here")/example/CMakeLists.txt" "$work/"
chmod -R a+rX "$work"

if [ "${SORVI_PACKAGE_CHECK:-}" != dpkg ] && [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    echo "check_package: apt install into an overlay of this system (changes dropped)"
    mkdir "$work/upper" "$work/ovl" "$work/root"
    unshare -m --propagation private bash -euo pipefail -c '
        work="$1" deb="$2" build="$3"
        mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/ovl" "$work/root"
        mount --bind /proc "$work/root/proc"
        mount --bind /dev "$work/root/dev"
        mount --bind /dev/pts "$work/root/dev/pts"
        mount -t tmpfs tmpfs "$work/root/tmp"
        cp "$work/$deb" "$work/check_installed_root.sh" "$work/host_opens_panel.tks" "$work/lumex_block.c" "$work/CMakeLists.txt" "$work/root/tmp/"
        cd "$work/root/tmp"
        chroot "$work/root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
            bash -c "set -o pipefail; cd /tmp && apt install -y -q ./$deb 2>&1 | tr \"\\r\" \"\\n\" | grep -v -e \"CLI interface\" -e \"^\$\" -e \"Reading database\""
        chroot "$work/root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp \
            bash -c "cd /tmp && bash /tmp/check_installed_root.sh / \"$build\""
    ' check "$work" "$(basename "$deb")" "$build"
else
    echo "check_package: dpkg --root into an empty folder"
    root="$work/root"
    mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    touch "$root/var/lib/dpkg/status"
    # Unpacked only: the maintainer scripts would need a shell inside the root.
    dpkg --root="$root" --log=/dev/null --force-depends --force-not-root --unpack "$deb" >"$work/dpkg.txt" 2>&1 ||
        { cat "$work/dpkg.txt" >&2; fail "dpkg --root failed"; }
    mkdir -p "$root/tmp"
    cp "$work/lumex_block.c" "$work/CMakeLists.txt" "$work/host_opens_panel.tks" "$root/tmp/"
    bash "$here/check_installed_root.sh" "$root" "$build"
fi
echo "check_package: passed"
