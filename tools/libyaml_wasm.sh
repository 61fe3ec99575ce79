#!/bin/sh
# Builds libyaml for WebAssembly from Debian's source package into a folder of the build
# (default build/libyaml-wasm): include/yaml.h and lib/libyaml.a. The source is fetched
# with a sources list and a package lists folder of its own, so the machine's apt
# configuration stays as it is; nothing of libyaml enters the repository.
set -eu

out=$(realpath -m "${1:-build/libyaml-wasm}")
if [ -f "$out/lib/libyaml.a" ] && [ -f "$out/include/yaml.h" ]; then
    exit 0
fi
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

apt_dir="$out/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$out/source"
# The source line follows the machine's Debian release and mirror.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
echo "deb-src http://deb.debian.org/debian $codename main" > "$apt_dir/sources.list"
set -- -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts" \
    -o Dir::State::Lists="$apt_dir/lists" -o Debug::NoLocking=1
apt-get "$@" -qq update
(cd "$out/source" && apt-get "$@" -qq source --download-only libyaml)

# The release the replay is known to read with; Debian's revisions share its source.
tarball="$out/source/libyaml_0.2.5.orig.tar.gz"
if [ ! -f "$tarball" ]; then
    echo "libyaml_wasm.sh: Debian's source of libyaml is not 0.2.5:" "$out"/source/*.orig.* >&2
    exit 1
fi
rm -rf "$out/src" && mkdir -p "$out/src"
tar -xzf "$tarball" -C "$out/src" --strip-components=1

mkdir -p "$out/obj" "$out/lib" "$out/include"
for source in "$out"/src/src/*.c; do
    emcc -O2 -DYAML_VERSION_MAJOR=0 -DYAML_VERSION_MINOR=2 -DYAML_VERSION_PATCH=5 \
        -DYAML_VERSION_STRING='"0.2.5"' -DYAML_DECLARE_STATIC -I "$out/src/include" \
        -c "$source" -o "$out/obj/$(basename "$source" .c).o"
done
rm -f "$out/lib/libyaml.a"
emar rcs "$out/lib/libyaml.a" "$out"/obj/*.o
cp "$out/src/include/yaml.h" "$out/include/yaml.h"
