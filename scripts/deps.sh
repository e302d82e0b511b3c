# Installs with apt-get whatever of the build's needs is missing. Sourced by
# ./run and ./test. The last line is the packaging's checks: the desktop
# entry's and the metainfo's validators, and dpkg-shlibdeps and file for the
# .deb (cpack -G DEB finds the programs among its files with file).
KETRAL_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev lld qt6-base-dev libpng-dev libxxhash-dev libgtest-dev libgmock-dev
                 libbenchmark-dev fonts-dejavu-core xvfb xauth
                 desktop-file-utils appstream dpkg-dev file)

ketral_ensure_packages() {
    local missing=()
    for p in "${KETRAL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
